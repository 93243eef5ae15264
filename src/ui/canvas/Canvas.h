#pragma once
#include <span>
#include <string>
#include <string_view>

#include "ui/canvas/Colors.h"
#include "ui/canvas/Geometry.h"

// <windows.h> maps DrawText to DrawTextA or DrawTextW; the canvas keeps the name.
#ifdef DrawText
#undef DrawText
#endif

namespace brenvik {

enum TFontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };

struct TFontSpec {
    std::string Name = "Tahoma";
    int Size = 8;  // points
    unsigned Style = 0;
    TColor Color = clBlack;
    int Orientation = 0;  // escapement and orientation, tenths of a degree
    // Character height in pixels at 96 per inch, as designs store it; when
    // set it decides the size instead of Size. Both grow with the surface's
    // pixels per inch.
    int Height = 0;
    bool operator==(const TFontSpec&) const = default;
};

// Flags of single-line text drawing.
enum TTextFlag : unsigned {
    tfSingleLine = 1,
    tfBottom = 2,
    tfExpandTabs = 4,
    tfExternalLeading = 8,
    tfEndEllipsis = 16,
};

// What the markup renderer and the controls draw through: a font, a brush
// and a pen over some surface. Text is Windows-1250 bytes.
class Canvas {
public:
    virtual ~Canvas() = default;

    virtual const TFontSpec& Font() const = 0;
    virtual void SetFont(const TFontSpec& font) = 0;
    virtual TColor BrushColor() const = 0;
    // clNone makes the brush clear: fills do nothing and text is drawn
    // without a background.
    virtual void SetBrushColor(TColor color) = 0;
    virtual void SetPen(TColor color, int width) = 0;

    virtual TSize TextExtent(std::string_view text) = 0;
    // A "&" underlines the character after it; "&&" draws one ampersand.
    virtual void DrawText(std::string_view text, const TRect& rect, unsigned flags) = 0;

    virtual void FillRect(const TRect& rect) = 0;
    // Outlined with the pen, filled with the brush.
    virtual void Rectangle(const TRect& rect) = 0;
    virtual void Polyline(std::span<const TPoint> points) = 0;
    virtual void DrawFocusRect(const TRect& rect) = 0;

    // Narrows drawing to the intersection with rect until the matching pop.
    virtual void PushClipRect(const TRect& rect) = 0;
    virtual void PopClipRect() = 0;

    virtual int PixelsPerInch() const = 0;
    // Explicit 0x00BBGGRR value of a colour, system colours resolved.
    virtual TColor ColorToRGB(TColor color) const = 0;

    void Line(TPoint from, TPoint to) {
        TPoint points[] = {from, to};
        Polyline(points);
    }
};

}  // namespace brenvik
