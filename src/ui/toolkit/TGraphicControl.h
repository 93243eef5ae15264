#pragma once
#include <functional>
#include <string>

#include "ui/canvas/Canvas.h"
#include "ui/toolkit/Layout.h"

namespace brenvik {

enum class TCursor { crDefault, crHandPoint };

// The window a window-less control lives on: it repaints, tracks the mouse
// and shows tooltips for it. Coordinates are the host's client coordinates.
class ControlHost {
public:
    virtual void InvalidateRect(const TRect& rect) = 0;
    virtual TPoint CursorPos() const = 0;
    virtual void SetCursor(TCursor cursor) = 0;
    virtual void CancelHint() = 0;
    // A canvas over the host's surface for measuring outside painting.
    virtual Canvas& MeasureCanvas() = 0;

protected:
    ~ControlHost() = default;
};

struct THintInfo {
    std::string Text;
    TPoint Position;  // in the control's coordinates
};

// A control without a window of its own: it paints on its host's surface
// and gets the mouse input that the host forwards, in its own coordinates.
class TGraphicControl {
public:
    explicit TGraphicControl(ControlHost& host) : host_(host) {}
    virtual ~TGraphicControl() = default;

    const TRect& BoundsRect() const { return bounds_; }
    void SetBounds(const TRect& bounds);
    int Width() const { return bounds_.Width(); }
    int Height() const { return bounds_.Height(); }
    TRect ClientRect() const { return {0, 0, Width(), Height()}; }
    TAlign Align = TAlign::alNone;

    TColor Color = clBtnFace;
    bool Transparent = false;
    TFontSpec Font;
    std::string Hint;
    TCursor Cursor() const { return cursor_; }
    void SetCursor(TCursor cursor);

    void Invalidate() { InvalidateRect(ClientRect()); }
    void InvalidateRect(const TRect& rect);
    // The cursor position in the control's coordinates.
    TPoint MousePos() const;

    // The background, unless transparent; derived controls draw on top.
    virtual void Paint(Canvas& canvas);
    virtual void MouseEnter() {
        if (OnMouseEnter) OnMouseEnter();
    }
    virtual void MouseLeave() {
        if (OnMouseLeave) OnMouseLeave();
    }
    virtual void MouseMove(TPoint) {}
    virtual void MouseDown(TPoint point) {
        if (OnMouseDown) OnMouseDown(point);
    }
    // The tooltip for a point; false shows the plain Hint.
    virtual bool HintAt(TPoint, THintInfo&) { return false; }

    std::function<void()> OnMouseEnter;
    std::function<void()> OnMouseLeave;
    std::function<void(TPoint)> OnMouseDown;

protected:
    ControlHost& Host() const { return host_; }

private:
    ControlHost& host_;
    TRect bounds_;
    TCursor cursor_ = TCursor::crDefault;
};

}  // namespace brenvik
