#pragma once
#include "ui/canvas/Geometry.h"

namespace brenvik {

// Designs are drawn in pixels at 96 per inch. The toolkit places them on a
// screen of other pixels per inch scaled by ppi/96, as the windows are
// declared DPI-aware: the system does not stretch them into a blur.
constexpr int kDesignPixelsPerInch = 96;

// The screen's pixels per inch, read once: windows keep the scale they
// were built with.
int ScreenPixelsPerInch();

// A design length in screen pixels.
int ScaleToScreen(int designPixels);
// Edges are scaled, not sizes: controls that touch in the design still
// touch, and none grows into its neighbour through rounding.
TRect ScaleToScreen(const TRect& design);

}  // namespace brenvik
