// The markup renderer drawing through GDI into a memory bitmap.
#include <gtest/gtest.h>

#include "markup_bitmap.h"
#include "ui/frame/MarkupRenderer.h"

namespace brenvik {
namespace {

const char kHint[] = "Przycisk <b>Pomoc</b> udost\xeapnia tematy pomocy";

int TextWidth(GdiCanvas& canvas, const char* text, unsigned style = 0) {
    TFontSpec font = canvas.Font();
    font.Style = style;
    TFontSpec saved = canvas.Font();
    canvas.SetFont(font);
    int width = canvas.TextExtent(text).Width;
    canvas.SetFont(saved);
    return width;
}

TEST(MarkupRenderWine, BoldWordWithItsSpacesOnOneLine) {
    MemoryBitmap bold(400, 60), plain(400, 60);
    auto boldResult = DrawMarkup(bold.Canvas(), kHint, {0, 0, 400, 60}, {}, {});
    DrawMarkup(plain.Canvas(), "Przycisk Pomoc udost\xeapnia tematy pomocy", {0, 0, 400, 60}, {}, {});
    GdiCanvas& canvas = bold.Canvas();
    int line = canvas.TextExtent("gh").Height;
    EXPECT_EQ(boldResult.TextHeight, line);
    EXPECT_GT(bold.Ink({0, 0, 400, line}), 0);
    EXPECT_EQ(bold.Ink({0, line, 400, 60}), 0);  // nothing below the one line

    int start = TextWidth(canvas, "Przycisk ");
    int word = TextWidth(canvas, "Pomoc", fsBold);
    int space = TextWidth(canvas, " ");
    EXPECT_GT(bold.Ink({start, 0, start + word, line}), plain.Ink({start, 0, start + word, line}));
    // The spaces on both sides stay blank.
    int before = TextWidth(canvas, "Przycisk");
    EXPECT_EQ(bold.Ink({before + 1, 0, start - 1, line}), 0);
    EXPECT_EQ(bold.Ink({start + word + 1, 0, start + word + space - 1, line}), 0);
    int rest = TextWidth(canvas, "udost\xeapnia tematy pomocy");
    EXPECT_GT(bold.Ink({start + word + space, 0, start + word + space + rest, line}), 0);
    EXPECT_EQ(bold.Ink({start + word + space + rest + 1, 0, 400, line}), 0);
}

TEST(MarkupRenderWine, TwoLinesFitTwiceTheFontHeight) {
    MemoryBitmap bitmap(60, 100);
    int line = bitmap.Canvas().TextExtent("gh").Height;
    RecordProperty("LineHeight", line);
    auto result = DrawMarkup(bitmap.Canvas(), "jeden dwa trzy cztery pi\xea\x9c\xe6 sze\x9c\xe6", {0, 0, 60, 2 * line}, {}, {});
    EXPECT_EQ(result.TextHeight, 2 * line);
    EXPECT_GT(bitmap.Ink({0, 0, 60, line}), 0);
    EXPECT_GT(bitmap.Ink({0, line, 60, 2 * line}), 0);
    EXPECT_EQ(bitmap.Ink({0, 2 * line, 60, 100}), 0);
}

TEST(MarkupRenderWine, GradientParagraphEndsInBothColours) {
    MemoryBitmap bitmap(128, 40);
    DrawMarkup(bitmap.Canvas(), "<P bgcolor=\"#FF0000\" bgcolorto=\"#0000FF\">x</P>", {0, 0, 128, 40}, {}, {});
    int line = bitmap.Canvas().TextExtent("gh").Height;
    EXPECT_EQ(bitmap.Pixel(0, line), RGBColor(255, 0, 0));
    EXPECT_EQ(bitmap.Pixel(127, line), RGBColor(4, 0, 251));  // step 63 of 64
    EXPECT_EQ(bitmap.Pixel(0, line + 2), clWhite);  // two rows deeper than the line, no more
}

TEST(MarkupRenderWine, ParagraphBandsAndSystemColours) {
    MemoryBitmap bitmap(100, 40);
    DrawMarkup(bitmap.Canvas(), "<P bgcolor=\"clHighlight\">a</P>b", {0, 0, 100, 40}, {}, {});
    int line = bitmap.Canvas().TextExtent("gh").Height;
    EXPECT_EQ(bitmap.Pixel(99, 0), static_cast<TColor>(GetSysColor(COLOR_HIGHLIGHT)));
    EXPECT_EQ(bitmap.Pixel(99, line), clWhite);
}

}  // namespace
}  // namespace brenvik
