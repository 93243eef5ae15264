#include "ui/toolkit/Scaling.h"

#include <windows.h>

namespace brenvik {

int ScreenPixelsPerInch() {
    static const int dpi = [] {
        HDC screen = GetDC(nullptr);
        int value = GetDeviceCaps(screen, LOGPIXELSY);
        ReleaseDC(nullptr, screen);
        return value > 0 ? value : kDesignPixelsPerInch;
    }();
    return dpi;
}

int ScaleToScreen(int designPixels) { return MulDiv(designPixels, ScreenPixelsPerInch(), kDesignPixelsPerInch); }

TRect ScaleToScreen(const TRect& design) {
    return {ScaleToScreen(design.Left), ScaleToScreen(design.Top), ScaleToScreen(design.Right),
            ScaleToScreen(design.Bottom)};
}

}  // namespace brenvik
