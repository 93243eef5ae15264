#include "ui/toolkit/TGraphicControl.h"

namespace brenvik {

void TGraphicControl::SetBounds(const TRect& bounds) {
    if (bounds == bounds_) return;
    Invalidate();
    bounds_ = bounds;
    Invalidate();
}

void TGraphicControl::SetCursor(TCursor cursor) {
    cursor_ = cursor;
    host_.SetCursor(cursor);
}

void TGraphicControl::InvalidateRect(const TRect& rect) {
    host_.InvalidateRect({rect.Left + bounds_.Left, rect.Top + bounds_.Top, rect.Right + bounds_.Left,
                          rect.Bottom + bounds_.Top});
}

TPoint TGraphicControl::MousePos() const {
    TPoint cursor = host_.CursorPos();
    return {cursor.X - bounds_.Left, cursor.Y - bounds_.Top};
}

void TGraphicControl::Paint(Canvas& canvas) {
    if (Transparent) return;
    canvas.SetBrushColor(Color);
    canvas.FillRect(ClientRect());
}

}  // namespace brenvik
