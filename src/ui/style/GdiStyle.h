#pragma once
#include <windows.h>

#include <functional>

#include "ui/style/PixelBuffer.h"
#include "ui/style/StyleColors.h"

namespace brenvik {

// The colour device behind a GDI context. An off-screen context counts
// with the depth of the bitmap selected into it, not the screen's.
class GdiColorDevice : public ColorDevice {
public:
    explicit GdiColorDevice(HDC dc) : dc_(dc) {}
    TColor ToRgb(TColor color) const override;
    TColor Nearest(TColor rgb) const override;
    int BitsPerPixel() const override;

private:
    HDC dc_;
};

// The screen's device, for colours chosen before any painting.
class ScreenColorDevice : public ColorDevice {
public:
    ScreenColorDevice() : dc_(GetDC(nullptr)), device_(dc_) {}
    ~ScreenColorDevice() override { ReleaseDC(nullptr, dc_); }
    ScreenColorDevice(const ScreenColorDevice&) = delete;
    ScreenColorDevice& operator=(const ScreenColorDevice&) = delete;
    TColor ToRgb(TColor color) const override { return device_.ToRgb(color); }
    TColor Nearest(TColor rgb) const override { return device_.Nearest(rgb); }
    int BitsPerPixel() const override { return device_.BitsPerPixel(); }

private:
    HDC dc_;
    GdiColorDevice device_;
};

// What paint draws on a width × height surface first filled with background.
PixelBuffer PaintPixels(HDC like, int width, int height, TColor background, const std::function<void(HDC)>& paint);
// Draws the pixels at x, y leaving out those of their background colour.
void DrawPixelsTransparent(HDC dc, const PixelBuffer& pixels, int x, int y);

}  // namespace brenvik
