#include "ui/style/GdiStyle.h"

namespace brenvik {
namespace {

BITMAPINFO TopDown32(int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

// DIB pixels are 0x00RRGGBB, colours 0x00BBGGRR.
TColor FromDib(DWORD value) { return RGBColor(value >> 16 & 0xFF, value >> 8 & 0xFF, value & 0xFF); }
DWORD ToDib(TColor color) {
    return static_cast<DWORD>(RedOf(color)) << 16 | static_cast<DWORD>(GreenOf(color)) << 8 |
           static_cast<DWORD>(BlueOf(color));
}

// A 32-bit section selected into its own memory context.
class DibSurface {
public:
    DibSurface(HDC like, int width, int height) : dc_(CreateCompatibleDC(like)) {
        BITMAPINFO info = TopDown32(width, height);
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
        original_ = SelectObject(dc_, bitmap_);
    }
    ~DibSurface() {
        SelectObject(dc_, original_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    DibSurface(const DibSurface&) = delete;
    DibSurface& operator=(const DibSurface&) = delete;
    HDC Dc() const { return dc_; }
    DWORD* Bits() const { return bits_; }
    bool Valid() const { return bits_ != nullptr; }

private:
    HDC dc_;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ original_ = nullptr;
    DWORD* bits_ = nullptr;
};

}  // namespace

TColor GdiColorDevice::ToRgb(TColor color) const {
    if (IsSystemColor(color)) return GetSysColor(SystemColorIndex(color));
    return color == clNone ? clWhite : color & 0xFFFFFF;
}

TColor GdiColorDevice::Nearest(TColor rgb) const {
    COLORREF nearest = GetNearestColor(dc_, rgb);
    return nearest == CLR_INVALID ? rgb : nearest;
}

int GdiColorDevice::BitsPerPixel() const {
    if (GetObjectType(dc_) == OBJ_MEMDC) {
        BITMAP bitmap{};
        if (GetObjectW(GetCurrentObject(dc_, OBJ_BITMAP), sizeof bitmap, &bitmap) && bitmap.bmWidth > 1)
            return bitmap.bmBitsPixel * bitmap.bmPlanes;
    }
    return GetDeviceCaps(dc_, BITSPIXEL) * GetDeviceCaps(dc_, PLANES);
}

PixelBuffer PaintPixels(HDC like, int width, int height, TColor background, const std::function<void(HDC)>& paint) {
    PixelBuffer pixels(width, height, background);
    DibSurface surface(like, width, height);
    if (!surface.Valid()) return pixels;
    for (size_t i = 0; i < pixels.Pixels.size(); ++i) surface.Bits()[i] = ToDib(background);
    paint(surface.Dc());
    GdiFlush();
    for (size_t i = 0; i < pixels.Pixels.size(); ++i) pixels.Pixels[i] = FromDib(surface.Bits()[i]);
    return pixels;
}

void DrawPixelsTransparent(HDC dc, const PixelBuffer& pixels, int x, int y) {
    if (pixels.Width <= 0 || pixels.Height <= 0) return;
    DibSurface surface(dc, pixels.Width, pixels.Height);
    if (!surface.Valid()) return;
    for (size_t i = 0; i < pixels.Pixels.size(); ++i) surface.Bits()[i] = ToDib(pixels.Pixels[i]);
    GdiFlush();
    TransparentBlt(dc, x, y, pixels.Width, pixels.Height, surface.Dc(), 0, 0, pixels.Width, pixels.Height,
                   pixels.Background());
}

}  // namespace brenvik
