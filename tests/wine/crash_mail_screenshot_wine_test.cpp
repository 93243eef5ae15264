#include <gtest/gtest.h>
#include <zlib.h>

#include "crash_mail_wine_support.h"
#include "crash/win32/Win32Screenshot.h"

namespace brenvik {
namespace {

namespace fs = std::filesystem;

std::uint32_t BigEndian(const std::string& bytes, std::size_t at) {
    return std::uint32_t(static_cast<unsigned char>(bytes[at])) << 24 |
           std::uint32_t(static_cast<unsigned char>(bytes[at + 1])) << 16 |
           std::uint32_t(static_cast<unsigned char>(bytes[at + 2])) << 8 | static_cast<unsigned char>(bytes[at + 3]);
}

struct DecodedPng {
    std::uint32_t Width = 0, Height = 0;
    std::string Palette, Pixels;  // pixels: rows with their filter byte

    std::string ColorAt(std::uint32_t x, std::uint32_t y) const {
        const auto index = static_cast<unsigned char>(Pixels[y * (Width + 1) + 1 + x]);
        return Palette.substr(index * 3u, 3);
    }
};

DecodedPng Decode(const std::string& file) {
    DecodedPng png;
    std::string stream;
    for (std::size_t at = 8; at + 12 <= file.size();) {
        const std::uint32_t length = BigEndian(file, at);
        const std::string type = file.substr(at + 4, 4), data = file.substr(at + 8, length);
        if (type == "IHDR") png.Width = BigEndian(data, 0), png.Height = BigEndian(data, 4);
        if (type == "PLTE") png.Palette = data;
        if (type == "IDAT") stream += data;
        at += 12 + length;
    }
    png.Pixels.resize(std::size_t{png.Width + 1} * png.Height);
    uLongf size = png.Pixels.size();
    EXPECT_EQ(uncompress(reinterpret_cast<Bytef*>(png.Pixels.data()), &size,
                         reinterpret_cast<const Bytef*>(stream.data()), stream.size()),
              Z_OK);
    return png;
}

LRESULT CALLBACK PaintRed(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        const HDC dc = BeginPaint(window, &paint);
        RECT area;
        GetClientRect(window, &area);
        const HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
        FillRect(dc, &area, red);
        DeleteObject(red);
        EndPaint(window, &paint);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

TEST(CrashMailWineScreenshot, CapturesTheScreenAsAPalettePng) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = PaintRed;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "BrenvikMailShotTest";
    windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    RegisterClassA(&windowClass);
    const HWND window = CreateWindowExA(WS_EX_TOPMOST, "BrenvikMailShotTest", "", WS_POPUP | WS_VISIBLE, 300, 200, 200,
                                       100, nullptr, nullptr, windowClass.hInstance, nullptr);
    ASSERT_NE(window, nullptr);
    SetForegroundWindow(window);
    SetCursorPos(320, 210);
    SetCursor(windowClass.hCursor);
    UpdateWindow(window);
    for (int i = 0; i < 20; ++i) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
        Sleep(25);
    }

    const std::string harnessCopy = testing::Environment("BRENVIK_MAIL_SHOT");
    const fs::path path = harnessCopy.empty() ? fs::temp_directory_path() / "brenvik-shot-test.png"
                                              : testing::UnixPath(harnessCopy);
    EXPECT_FALSE(WriteScreenshotPng(""));
    ASSERT_TRUE(WriteScreenshotPng(path.string()));
    DestroyWindow(window);
    UnregisterClassA("BrenvikMailShotTest", windowClass.hInstance);

    const std::string file = testing::ReadFileBytes(path);
    if (harnessCopy.empty()) fs::remove(path);
    ASSERT_GT(file.size(), 8u);
    EXPECT_EQ(file.substr(0, 8), std::string("\x89PNG\r\n\x1A\n", 8));
    const DecodedPng png = Decode(file);
    EXPECT_EQ(png.Width, static_cast<std::uint32_t>(GetSystemMetrics(SM_CXSCREEN)));
    EXPECT_EQ(png.Height, static_cast<std::uint32_t>(GetSystemMetrics(SM_CYSCREEN)));
    ASSERT_EQ(png.Palette.size(), 768u);
    EXPECT_EQ(png.ColorAt(310, 250), std::string("\xFF\x00\x00", 3));
    EXPECT_EQ(png.ColorAt(490, 290), std::string("\xFF\x00\x00", 3));
    EXPECT_NE(png.ColorAt(290, 210), std::string("\xFF\x00\x00", 3));
    EXPECT_NE(png.ColorAt(310, 305), std::string("\xFF\x00\x00", 3));

    // The arrow cursor drawn at its position: white pixels in its box only.
    const auto whitePixels = [&](std::uint32_t left, std::uint32_t top) {
        int count = 0;
        for (std::uint32_t y = top; y < top + 32; ++y)
            for (std::uint32_t x = left; x < left + 32; ++x) count += png.ColorAt(x, y) == "\xFF\xFF\xFF";
        return count;
    };
    EXPECT_GT(whitePixels(320, 210), 10);
    EXPECT_EQ(whitePixels(420, 250), 0);
}

}  // namespace
}  // namespace brenvik
