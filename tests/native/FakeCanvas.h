#pragma once
// A canvas with fixed glyph metrics that records what is drawn on it: every
// character of an 8-point font is 6 pixels wide (bold 7) and 13 high; sizes
// scale both.
#include <string>
#include <vector>

#include "ui/canvas/Canvas.h"

namespace brenvik {

class FakeCanvas : public Canvas {
public:
    struct Text {
        std::string Chars;
        TRect Rect;
        TFontSpec Font;
        TColor Brush;
        unsigned Flags;
    };
    struct Fill {
        TRect Rect;
        TColor Color;
    };
    struct Line {
        std::vector<TPoint> Points;
        TColor Color;
    };

    static int CharWidth(const TFontSpec& font) { return font.Size * 3 / 4 + ((font.Style & fsBold) ? 1 : 0); }
    static int CharHeight(const TFontSpec& font) { return font.Size * 3 / 2 + 1; }

    const TFontSpec& Font() const override { return font_; }
    void SetFont(const TFontSpec& font) override { font_ = font; }
    TColor BrushColor() const override { return brush_; }
    void SetBrushColor(TColor color) override { brush_ = color; }
    void SetPen(TColor color, int) override { pen_ = color; }
    TSize TextExtent(std::string_view text) override {
        return {static_cast<int>(text.size()) * CharWidth(font_), CharHeight(font_)};
    }
    void DrawText(std::string_view text, const TRect& rect, unsigned flags) override {
        Texts.push_back({std::string(text), rect, font_, brush_, flags});
    }
    void FillRect(const TRect& rect) override {
        if (brush_ != clNone) Fills.push_back({rect, brush_});
    }
    void Rectangle(const TRect& rect) override { Fills.push_back({rect, brush_}); }
    void Polyline(std::span<const TPoint> points) override { Lines.push_back({{points.begin(), points.end()}, pen_}); }
    void DrawFocusRect(const TRect& rect) override { FocusRects.push_back(rect); }
    void PushClipRect(const TRect& rect) override { Clips.push_back(rect); }
    void PopClipRect() override { Clips.pop_back(); }
    int PixelsPerInch() const override { return 96; }
    TColor ColorToRGB(TColor color) const override {
        return IsSystemColor(color) ? 0x010101u * static_cast<TColor>(SystemColorIndex(color)) : color;
    }

    // The drawn texts joined, for checks of what appeared.
    std::string AllText() const {
        std::string all;
        for (const Text& text : Texts) all += text.Chars;
        return all;
    }
    const Text* Find(std::string_view chars) const {
        for (const Text& text : Texts)
            if (text.Chars == chars) return &text;
        return nullptr;
    }

    std::vector<Text> Texts;
    std::vector<Fill> Fills;
    std::vector<Line> Lines;
    std::vector<TRect> FocusRects;
    std::vector<TRect> Clips;

private:
    TFontSpec font_;
    TColor brush_ = clNone;
    TColor pen_ = clBlack;
};

}  // namespace brenvik
