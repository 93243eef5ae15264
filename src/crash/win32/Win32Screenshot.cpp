#include "crash/win32/Win32Screenshot.h"

#include <windows.h>

#include <cstdio>
#include <memory>
#include <vector>

#include "crash/mail/PngWriter.h"

namespace brenvik {

namespace {

constexpr int kCursorSize = 32;

// The screen's 256 system palette entries, for palette-based displays.
HPALETTE SystemPalette(HDC screen) {
    std::vector<unsigned char> storage(sizeof(LOGPALETTE) + 255 * sizeof(PALETTEENTRY));
    auto* palette = reinterpret_cast<LOGPALETTE*>(storage.data());
    palette->palVersion = 0x300;
    palette->palNumEntries = 256;
    GetSystemPaletteEntries(screen, 0, 256, palette->palPalEntry);
    return CreatePalette(palette);
}

void DrawCursor(HDC target) {
    CURSORINFO cursor{};
    cursor.cbSize = sizeof cursor;
    if (!GetCursorInfo(&cursor) || !(cursor.flags & CURSOR_SHOWING) || !cursor.hCursor) return;
    DrawIconEx(target, cursor.ptScreenPos.x, cursor.ptScreenPos.y, cursor.hCursor, kCursorSize, kCursorSize, 0,
               nullptr, DI_NORMAL);
}

struct PaletteBitmapInfo {
    BITMAPINFOHEADER Header;
    RGBQUAD Colors[256];
};

}  // namespace

bool WriteScreenshotPng(const std::string& path) {
    if (path.empty()) return false;
    const HDC screen = GetDC(nullptr);
    if (!screen) return false;
    const int width = GetDeviceCaps(screen, HORZRES);
    const int height = GetDeviceCaps(screen, VERTRES);
    const HDC memory = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HPALETTE palette = nullptr;
    bool captured = false;
    PaletteBitmapInfo info{};
    std::vector<char> rows;
    if (memory && bitmap && width > 0 && height > 0) {
        const HGDIOBJ previous = SelectObject(memory, bitmap);
        if (GetDeviceCaps(screen, RASTERCAPS) & RC_PALETTE) {
            palette = SystemPalette(screen);
            SelectPalette(memory, palette, FALSE);
            RealizePalette(memory);
        }
        BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
        DrawCursor(memory);
        SelectObject(memory, previous);

        info.Header.biSize = sizeof info.Header;
        info.Header.biWidth = width;
        info.Header.biHeight = height;  // positive: rows bottom-up
        info.Header.biPlanes = 1;
        info.Header.biBitCount = 8;
        info.Header.biCompression = BI_RGB;
        info.Header.biClrUsed = 256;
        const std::size_t stride = (static_cast<std::size_t>(width) + 3) & ~std::size_t{3};
        rows.resize(stride * static_cast<std::size_t>(height));
        captured = GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), rows.data(),
                             reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS) == height;
    }
    if (palette) DeleteObject(palette);
    if (bitmap) DeleteObject(bitmap);
    if (memory) DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    if (!captured) return false;

    TPaletteImage image{static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height), {},
                        std::string_view(rows.data(), rows.size())};
    for (std::size_t i = 0; i < 256; ++i) {
        image.Palette[i] = {info.Colors[i].rgbRed, info.Colors[i].rgbGreen, info.Colors[i].rgbBlue};
    }
    // An ANSI name, as the C runtime takes it (not the C locale's reading).
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    bool complete = true;
    const bool written = WritePalettePng(image, [&](std::string_view bytes) {
        complete = complete && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    });
    return std::fclose(file) == 0 && written && complete;
}

}  // namespace brenvik
