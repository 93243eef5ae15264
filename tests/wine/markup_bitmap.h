#pragma once
// A 32-bit memory bitmap with a canvas over it, for checking pixels.
#include <windows.h>

#include <memory>

#include "platform/GdiCanvas.h"

namespace brenvik {

class MemoryBitmap {
public:
    MemoryBitmap(int width, int height) : width_(width), height_(height), dc_(CreateCompatibleDC(nullptr)) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;  // top-down rows
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
        original_ = SelectObject(dc_, bitmap_);
        canvas_ = std::make_unique<GdiCanvas>(dc_);
        canvas_->SetBrushColor(clWhite);
        canvas_->FillRect({0, 0, width, height});
    }
    ~MemoryBitmap() {
        canvas_.reset();
        SelectObject(dc_, original_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }

    GdiCanvas& Canvas() { return *canvas_; }
    // As 0x00BBGGRR.
    TColor Pixel(int x, int y) const {
        GdiFlush();
        DWORD value = bits_[y * width_ + x];
        return RGBColor(value >> 16 & 0xFF, value >> 8 & 0xFF, value & 0xFF);
    }
    // Pixels other than white in the rectangle.
    int Ink(const TRect& rect) const {
        int count = 0;
        for (int y = rect.Top; y < rect.Bottom; ++y)
            for (int x = rect.Left; x < rect.Right; ++x) count += Pixel(x, y) != clWhite;
        return count;
    }
    int Width() const { return width_; }
    int Height() const { return height_; }

private:
    int width_, height_;
    HDC dc_;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ original_ = nullptr;
    DWORD* bits_ = nullptr;
    std::unique_ptr<GdiCanvas> canvas_;
};

}  // namespace brenvik
