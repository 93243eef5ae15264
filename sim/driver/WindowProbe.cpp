#include "WindowProbe.h"

namespace {

struct TopLevelSearch {
    DWORD pid;
    std::vector<std::wstring>* classes;
};

BOOL CALLBACK CollectVisible(HWND hwnd, LPARAM param)
{
    auto* search = reinterpret_cast<TopLevelSearch*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == search->pid && IsWindowVisible(hwnd)) {
        wchar_t name[256];
        const int n = GetClassNameW(hwnd, name, 256);
        search->classes->emplace_back(name, n > 0 ? n : 0);
    }
    return TRUE;
}

}  // namespace

std::vector<std::wstring> VisibleTopLevelClasses(DWORD pid)
{
    std::vector<std::wstring> classes;
    TopLevelSearch search{pid, &classes};
    EnumWindows(CollectVisible, reinterpret_cast<LPARAM>(&search));
    return classes;
}

bool AnswersMessages(HWND hwnd, UINT timeoutMs)
{
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(hwnd, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, timeoutMs, &result) != 0;
}

PixelSummary SummarizeClientArea(HWND hwnd, const RECT& area)
{
    // From the screen, not from the window: what the user sees, whichever
    // process drew it, and the only view another process's window allows.
    POINT origin{area.left, area.top};
    ClientToScreen(hwnd, &origin);
    const int width = area.right - area.left, height = area.bottom - area.top;
    PixelSummary summary;
    if (width <= 0 || height <= 0)
        return summary;

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, origin.x, origin.y, SRCCOPY);
    GdiFlush();

    summary.hash = 14695981039346656037ull;
    const auto* pixels = static_cast<const uint32_t*>(bits);
    for (int i = 0; i < width * height; ++i) {
        const uint32_t pixel = pixels[i] & 0xFFFFFF;
        summary.hash = (summary.hash ^ pixel) * 1099511628211ull;
        const int r = (pixel >> 16) & 0xFF, g = (pixel >> 8) & 0xFF, b = pixel & 0xFF;
        const int luma = (r * 299 + g * 587 + b * 114) / 1000;
        if (luma < 80)
            ++summary.dark;
        else if (luma >= 100 && luma <= 180 && abs(r - g) < 24 && abs(g - b) < 24)
            ++summary.grey;
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return summary;
}

namespace {

// The pixels of a square of the screen, or of an icon drawn on the colour of its corner.
std::vector<uint32_t> SquarePixels(HDC source, int left, int top, int size, HICON icon, COLORREF background)
{
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, size, -size, 1, 32, BI_RGB};
    void* bits = nullptr;
    HDC memory = CreateCompatibleDC(source);
    HBITMAP bitmap = CreateDIBSection(source, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    if (icon) {
        HBRUSH brush = CreateSolidBrush(background);
        RECT all{0, 0, size, size};
        FillRect(memory, &all, brush);
        DeleteObject(brush);
        DrawIconEx(memory, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
    } else {
        BitBlt(memory, 0, 0, size, size, source, left, top, SRCCOPY);
    }
    GdiFlush();
    std::vector<uint32_t> pixels(static_cast<const uint32_t*>(bits), static_cast<const uint32_t*>(bits) + size * size);
    for (auto& pixel : pixels)
        pixel &= 0xFFFFFF;
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    return pixels;
}

}  // namespace

std::string IconKind(HWND iconControl)
{
    RECT r{};
    GetWindowRect(iconControl, &r);
    const int size = GetSystemMetrics(SM_CXICON);
    HDC screen = GetDC(nullptr);
    const COLORREF corner = GetPixel(screen, r.left, r.top);
    const auto shown = SquarePixels(screen, r.left, r.top, size, nullptr, 0);
    std::string kind = "other";
    const std::pair<WORD, const char*> icons[] = {
        {32516, "information"}, {32515, "warning"}, {32513, "error"}, {32514, "question"}};  // IDI_…
    for (const auto& [id, name] : icons)
        if (SquarePixels(screen, 0, 0, size, LoadIconW(nullptr, MAKEINTRESOURCEW(id)), corner) == shown)
            kind = name;
    ReleaseDC(nullptr, screen);
    return kind;
}

unsigned long X11WindowOf(HWND hwnd)
{
    // Wine's X11 driver keeps the id as a window property, readable from any process.
    return static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(GetPropW(hwnd, L"__wine_x11_whole_window")));
}
