#pragma once
#include "ui/canvas/Canvas.h"

namespace brenvik {

// Fills rect from left to right in `steps` bands whose colour goes from
// `from` to `to`; each band is one pixel wider than its step so that no gap
// shows between rounded band edges.
void FillHorizontalGradient(Canvas& canvas, const TRect& rect, TColor from, TColor to, int steps);

// Draws `width` one-pixel rings of a 3-D frame inside rect and narrows rect
// by them.
void Frame3D(Canvas& canvas, TRect& rect, TColor topLeft, TColor bottomRight, int width);

// A solid arrowhead in the brush colour, `rows` pixel rows high from `top`,
// centred on column `centre`, its point up or down (2 × rows − 1 wide at its base).
void FillArrowhead(Canvas& canvas, int centre, int top, int rows, bool pointsUp);

}  // namespace brenvik
