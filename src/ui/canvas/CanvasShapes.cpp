#include "ui/canvas/CanvasShapes.h"

#include <algorithm>
#include <cmath>

namespace brenvik {
namespace {

int Interpolate(int from, int to, int step, int steps) {
    return static_cast<int>(std::lround(from + static_cast<double>(step) * (to - from) / steps));
}

}  // namespace

void FillHorizontalGradient(Canvas& canvas, const TRect& rect, TColor from, TColor to, int steps) {
    if (steps < 1 || rect.Empty()) return;
    TColor start = canvas.ColorToRGB(from), end = canvas.ColorToRGB(to);
    int width = rect.Width();
    int stepWidth = Interpolate(0, width, 1, steps);
    for (int i = 0; i < steps; ++i) {
        TColor color = RGBColor(Interpolate(RedOf(start), RedOf(end), i, steps),
                                Interpolate(GreenOf(start), GreenOf(end), i, steps),
                                Interpolate(BlueOf(start), BlueOf(end), i, steps));
        int left = rect.Left + Interpolate(0, width, i, steps);
        int right = std::min(left + stepWidth + 1, rect.Right);
        if (left >= right) continue;
        canvas.SetPen(color, 1);
        canvas.SetBrushColor(color);
        canvas.Rectangle({left, rect.Top, right, rect.Bottom});
    }
}

void Frame3D(Canvas& canvas, TRect& rect, TColor topLeft, TColor bottomRight, int width) {
    for (int ring = 0; ring < width && !rect.Empty(); ++ring) {
        int right = rect.Right - 1, bottom = rect.Bottom - 1;
        canvas.SetPen(topLeft, 1);
        TPoint upper[] = {{rect.Left, bottom}, {rect.Left, rect.Top}, {right, rect.Top}};
        canvas.Polyline(upper);
        canvas.SetPen(bottomRight, 1);
        TPoint lower[] = {{right, rect.Top}, {right, bottom}, {rect.Left - 1, bottom}};
        canvas.Polyline(lower);
        rect = rect.Inflated(-1);
    }
}

void FillArrowhead(Canvas& canvas, int centre, int top, int rows, bool pointsUp) {
    for (int row = 0; row < rows; ++row) {
        int reach = pointsUp ? row : rows - 1 - row;
        canvas.FillRect({centre - reach, top + row, centre + reach + 1, top + row + 1});
    }
}

}  // namespace brenvik
