#pragma once
#include <windows.h>
#undef DrawText  // the canvas member, not the Windows macro

#include <string>
#include <unordered_map>
#include <vector>

#include "ui/canvas/Canvas.h"

namespace brenvik {

// The canvas over a GDI device context it does not own. Fonts, pens and
// brushes it creates are kept while it lives and the context's own are
// selected back when it goes.
class GdiCanvas : public Canvas {
public:
    explicit GdiCanvas(HDC dc);
    ~GdiCanvas() override;
    GdiCanvas(const GdiCanvas&) = delete;
    GdiCanvas& operator=(const GdiCanvas&) = delete;

    HDC Handle() const { return dc_; }
    // Moves the coordinate origin, for painting a child control in place.
    void SetOrigin(TPoint origin);

    const TFontSpec& Font() const override { return font_; }
    void SetFont(const TFontSpec& font) override;
    TColor BrushColor() const override { return brush_; }
    void SetBrushColor(TColor color) override { brush_ = color; }
    void SetPen(TColor color, int width) override;

    TSize TextExtent(std::string_view text) override;
    void DrawText(std::string_view text, const TRect& rect, unsigned flags) override;
    void FillRect(const TRect& rect) override;
    void Rectangle(const TRect& rect) override;
    void Polyline(std::span<const TPoint> points) override;
    void DrawFocusRect(const TRect& rect) override;
    void PushClipRect(const TRect& rect) override;
    void PopClipRect() override;
    int PixelsPerInch() const override;
    TColor ColorToRGB(TColor color) const override;

private:
    // Markup is laid out again on every mouse move, mostly from the same
    // words: their extents are kept per font.
    struct CachedFont {
        TFontSpec Font;
        HFONT Handle;
        std::unordered_map<std::string, TSize> Extents;
    };
    // The entry of the current font; fonts differing only in colour share one.
    CachedFont& CurrentFont();
    // Selects the current font and colour into the context when they changed.
    void Realize();
    HBRUSH BrushHandle();

    HDC dc_;
    TFontSpec font_;
    std::vector<CachedFont> fonts_;
    size_t current_ = 0;  // index of the current font's entry
    HFONT selected_ = nullptr;
    TColor textColor_ = clNone;
    TColor brush_ = clWhite;
    TColor brushMade_ = clNone;
    HBRUSH brushHandle_ = nullptr;
    HPEN pen_ = nullptr;
    std::vector<HRGN> savedClips_;  // nullptr: there was no clip region
    HGDIOBJ originalFont_, originalPen_, originalBrush_;
};

}  // namespace brenvik
