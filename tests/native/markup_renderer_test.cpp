// The markup renderer against the fake canvas: 8-point characters are 6
// pixels wide (bold 7) and 13 high.
#include <gtest/gtest.h>

#include "FakeCanvas.h"
#include "markup_test_pictures.h"
#include "ui/frame/MarkupPictureStore.h"
#include "ui/frame/MarkupRenderer.h"

namespace brenvik {
namespace {

class MarkupRendererTest : public ::testing::Test {
protected:
    MarkupResult Draw(std::string_view markup, int width = 1000, int height = 1000) {
        return DrawMarkup(canvas, markup, {0, 0, width, height}, sources, options);
    }
    // Top of every text drawn, in order.
    std::vector<int> Tops() const {
        std::vector<int> tops;
        for (const auto& text : canvas.Texts) tops.push_back(text.Rect.Top);
        return tops;
    }

    FakeCanvas canvas;
    MarkupSources sources;
    MarkupOptions options;
};

TEST_F(MarkupRendererTest, BoldWordKeepsItsSpacesOnOneLine) {
    auto result = Draw("Przycisk <b>Pomoc</b> udost\xeapnia tematy pomocy");
    const auto* bold = canvas.Find("Pomoc");
    ASSERT_NE(bold, nullptr);
    EXPECT_TRUE(bold->Font.Style & fsBold);
    EXPECT_EQ(bold->Rect.Left, 9 * 6);  // after "Przycisk "
    ASSERT_NE(canvas.Find(" "), nullptr);
    EXPECT_EQ(canvas.Find(" ")->Rect.Left, 9 * 6 + 5 * 7);
    EXPECT_FALSE(canvas.Find(" ")->Font.Style & fsBold);
    for (int top : Tops()) EXPECT_EQ(top, 0);
    EXPECT_EQ(result.TextHeight, 13);
    EXPECT_EQ(result.PlainText, "Przycisk Pomoc udost\xeapnia tematy pomocy");
    EXPECT_EQ(canvas.AllText(), result.PlainText);
}

TEST_F(MarkupRendererTest, WrapsBetweenWordsAndNeverInsideOne) {
    auto result = Draw("aaa bbb ccc", 50);
    EXPECT_EQ(Tops(), (std::vector<int>{0, 0, 13}));
    EXPECT_EQ(result.TextHeight, 26);
    EXPECT_EQ(result.MaxLineWidth, 42);  // the trailing space does not count

    canvas.Texts.clear();
    Draw("aaa b<b>bbbbb</b>b", 50);  // 24 + 6 + 35 + 6 passes 50, but the word is one
    EXPECT_EQ(Tops(), (std::vector<int>{0, 0, 0, 0}));

    canvas.Texts.clear();
    Draw("aa wwwwwwwwwwwwwwwwww bb", 50);  // no line holds the wide word: it stays
    EXPECT_EQ(Tops(), (std::vector<int>{0, 0, 13}));
    EXPECT_EQ(canvas.Texts[1].Rect.Right, 50);  // cut at the edge
}

TEST_F(MarkupRendererTest, EllipsisModeKeepsOneLineAndCutsTheOverflowingRun) {
    options.Wrap = false;
    auto result = Draw("aaa <b>bbb</b> ccc ddd eee<BR>never", 80);
    ASSERT_EQ(canvas.Texts.size(), 3u);
    for (int top : Tops()) EXPECT_EQ(top, 0);
    EXPECT_EQ(canvas.Texts[2].Chars, " ccc ddd eee");
    EXPECT_EQ(canvas.Texts[2].Rect.Right, 80);
    EXPECT_TRUE(canvas.Texts[2].Flags & tfEndEllipsis);
    EXPECT_EQ(result.TextHeight, 13);
    EXPECT_EQ(result.PlainText, "aaa bbb ccc ddd eee");
}

TEST_F(MarkupRendererTest, StopsAtTheFirstLineThatDoesNotFit) {
    auto result = Draw("aaa bbb ccc ddd", 30, 26);
    EXPECT_EQ(canvas.AllText(), "aaa bbb ");
    EXPECT_EQ(result.TextHeight, 26);
    options.MeasureOnly = true;
    EXPECT_EQ(Draw("aaa bbb ccc ddd", 30, 26).TextHeight, 52);  // measuring lays out everything
}

TEST_F(MarkupRendererTest, ReplacesEntitiesInTheCodePage) {
    auto result = Draw("&amp; &QUOT;&sect;&permil;&reg;&copy;&para;&trade;&Euro; &amp;quot;");
    EXPECT_EQ(result.PlainText, "&& \"\xA7\x89\xAE\xA9\xB6\x99\x80 &\"");
    canvas.Texts.clear();
    result = Draw("a&nbsp;b &lt;i&gt; &NBSP;");
    EXPECT_EQ(canvas.Texts[0].Chars, "a b ");  // a non-breaking space never ends a run
    EXPECT_EQ(result.PlainText, "a b <i> &NBSP;");
}

TEST_F(MarkupRendererTest, FontSizesStepsAndNoNesting) {
    Draw("<FONT size=\"3\">a</FONT><FONT SIZE=9>b</FONT><FONT size=\"x\">c</FONT>"
         "<FONT SIZE = \"4\">d</FONT><FONT size = 5 color=\"clred\">e</FONT>");
    EXPECT_EQ(canvas.Find("a")->Font.Size, 12);
    EXPECT_EQ(canvas.Find("b")->Font.Size, 9);
    EXPECT_EQ(canvas.Find("c")->Font.Size, 8);
    EXPECT_EQ(canvas.Find("d")->Font.Size, 14);  // blanks around the equals sign
    EXPECT_EQ(canvas.Find("e")->Font.Size, 16);

    canvas.Texts.clear();
    Draw("<FONT face=\"Arial\" size=\"4\"><b><FONT color=\"clRed\" bgcolor=\"#00ff00\">x</FONT>y</b>z");
    const auto* x = canvas.Find("x");
    EXPECT_EQ(x->Font.Name, "Arial");
    EXPECT_EQ(x->Font.Size, 14);
    EXPECT_EQ(x->Font.Color, clRed);
    EXPECT_EQ(x->Brush, clLime);
    const auto* y = canvas.Find("y");  // back to the base font, not the outer FONT
    EXPECT_EQ(y->Font.Name, "Tahoma");
    EXPECT_EQ(y->Font.Size, 8);
    EXPECT_TRUE(y->Font.Style & fsBold);
    EXPECT_EQ(y->Brush, clNone);
}

TEST_F(MarkupRendererTest, ColourValues) {
    Draw("<FONT color=\"#0a0B0c\">a</FONT><FONT color=\"clBtnFace\">b</FONT><FONT color=\"pink\">c</FONT>"
         "<FONT bgcolor=\"clInfoBk\">d");
    EXPECT_EQ(canvas.Find("a")->Font.Color, 0x0C0B0Au);
    EXPECT_EQ(canvas.Find("b")->Font.Color, 0x8000000Fu);
    EXPECT_EQ(canvas.Find("c")->Font.Color, clBlack);
    EXPECT_EQ(canvas.Find("d")->Font.Color, clBlack);  // BGCOLOR is no COLOR
    EXPECT_EQ(canvas.Find("d")->Brush, 0x80000018u);
}

TEST_F(MarkupRendererTest, StylesSwitchOnAndOff) {
    Draw("<i>a</i><u>b</u><s>c</s>d<SHAD>e</SHAD><SUB>f</SUB><Z>hidden</Z><HI>g</HI>h");
    EXPECT_TRUE(canvas.Find("a")->Font.Style & fsItalic);
    EXPECT_TRUE(canvas.Find("b")->Font.Style & fsUnderline);
    EXPECT_TRUE(canvas.Find("c")->Font.Style & fsStrikeOut);
    EXPECT_EQ(canvas.Find("d")->Font.Style, 0u);
    ASSERT_EQ(canvas.Texts[4].Chars, "e");  // the shadow first, displaced by 2
    EXPECT_EQ(canvas.Texts[4].Font.Color, clGray);
    EXPECT_EQ(canvas.Texts[5].Rect.Left + 2, canvas.Texts[4].Rect.Left);
    EXPECT_EQ(canvas.Find("f")->Rect.Bottom, 13 + 3);  // lowered by a quarter of its height
    EXPECT_EQ(canvas.Find("hidden"), nullptr);
    EXPECT_EQ(canvas.Find("g")->Brush, clHighlight);
    EXPECT_EQ(canvas.Find("g")->Font.Color, clHighlightText);
    EXPECT_EQ(canvas.Find("h")->Brush, clNone);
    EXPECT_EQ(canvas.Find("h")->Font.Color, clBlack);
}

TEST_F(MarkupRendererTest, ErrorMarkZigzagJoinsAcrossRuns) {
    Draw("a<E>bc<b>d</b></E>e");
    ASSERT_EQ(canvas.Lines.size(), 2u);
    for (const auto& line : canvas.Lines) {
        EXPECT_EQ(line.Color, clRed);
        for (const TPoint& p : line.Points) EXPECT_EQ(p.Y, (p.X % 4 == 0) ? 10 : 12) << p.X;
    }
    EXPECT_EQ(canvas.Lines[0].Points.front().X, 6);
    EXPECT_EQ(canvas.Lines[1].Points.front().X, 18);
}

TEST_F(MarkupRendererTest, LineBreaksAndOddMarkup) {
    auto result = Draw("a<BR>b\r\nc<#d>e");
    EXPECT_EQ(Tops(), (std::vector<int>{0, 13, 26}));
    EXPECT_EQ(result.PlainText, "a\rb\rc#de");
    for (const char* markup : {"abc<", "abc<x", "abc<b def", "abc<b def>"}) {
        canvas.Texts.clear();
        result = Draw(markup);
        EXPECT_EQ(canvas.AllText(), "abc") << markup;
        EXPECT_EQ(result.PlainText, "abc") << markup;
    }
    canvas.Texts.clear();
    Draw("<unknown>x<>y</nothing>");
    EXPECT_EQ(canvas.AllText(), "xy");
}

TEST_F(MarkupRendererTest, AnchorsAreNumberedAndColouredByTheHoverRules) {
    options.URLColor = clBlue;
    options.HoverFontColor = clRed;
    auto result = Draw("<A href=\"one\">a1</A> <A href=\"two\">a2</A>x");
    EXPECT_EQ(result.AnchorCount, 2);
    for (const char* text : {"a1", "a2"}) {
        EXPECT_TRUE(canvas.Find(text)->Font.Style & fsUnderline) << text;
        EXPECT_EQ(canvas.Find(text)->Font.Color, clBlue) << text;  // hover off: URLColor
    }
    EXPECT_EQ(canvas.Find("x")->Font.Style, 0u);
    EXPECT_EQ(canvas.Find("x")->Font.Color, clBlack);

    canvas.Texts.clear();
    options.Hover = true;
    options.HoveredAnchor = 2;
    options.HoverColor = clYellow;
    Draw("<A href=\"one\">a1</A> <A href=\"two\">a2</A>x");
    EXPECT_FALSE(canvas.Find("a1")->Font.Style & fsUnderline);
    EXPECT_EQ(canvas.Find("a1")->Font.Color, clBlue);
    EXPECT_EQ(canvas.Find("a1")->Brush, clNone);
    EXPECT_TRUE(canvas.Find("a2")->Font.Style & fsUnderline);
    EXPECT_EQ(canvas.Find("a2")->Font.Color, clRed);
    EXPECT_EQ(canvas.Find("a2")->Brush, clYellow);
    EXPECT_EQ(canvas.Find("x")->Brush, clNone);
    EXPECT_EQ(canvas.Find("x")->Font.Color, clBlack);
}

TEST_F(MarkupRendererTest, AnchorSearchByPoint) {
    options.MeasureOnly = true;
    const char* markup = "see <A href=\"first\">one</A> and <A href=\"\">blank</A><BR><A href=\"second\">two lines";
    options.Point = {4 * 6 + 1, 6};  // on "one"
    auto result = Draw(markup);
    EXPECT_TRUE(result.AnchorHit);
    EXPECT_EQ(result.Anchor, "first");
    EXPECT_EQ(result.AnchorIndex, 1);
    EXPECT_EQ(result.AnchorRect, (TRect{24, 0, 42, 13}));
    EXPECT_TRUE(canvas.Texts.empty());

    options.Point = {4 * 6 + 1, 13};  // on the line's bottom edge: outside the band
    EXPECT_FALSE(Draw(markup).AnchorHit);
    options.Point = {12 * 6, 6};  // "blank" has no address
    EXPECT_FALSE(Draw(markup).AnchorHit);
    options.Point = {3, 19};  // the anchor never closes: no index
    result = Draw(markup);
    EXPECT_EQ(result.Anchor, "second");
    EXPECT_EQ(result.AnchorIndex, -1);
    EXPECT_EQ(result.AnchorCount, 3);
}

TEST_F(MarkupRendererTest, AnchorRectangleOnItsClosingLine) {
    options.MeasureOnly = true;
    options.Point = {3, 6};
    auto result = Draw("<A href=\"wide\">aaa bbb ccc</A>", 50);
    EXPECT_EQ(result.Anchor, "wide");
    EXPECT_EQ(result.AnchorIndex, 1);
    EXPECT_EQ(result.AnchorRect, (TRect{0, 13, 18, 26}));  // from the left edge of the second line
}

TEST_F(MarkupRendererTest, IndentsBulletsAndAlignment) {
    Draw("a<IND x=\"40\">b<IND x=\"10\">c");
    EXPECT_EQ(canvas.Find("b")->Rect.Left, 40);
    EXPECT_EQ(canvas.Find("c")->Rect.Left, 46);  // 10 lies behind: no effect

    canvas.Texts.clear();
    auto result = Draw("<UL><LI>one<LI>two<UL><LI>three</UL></UL><LI>x");
    EXPECT_EQ(result.PlainText, "onetwothreex");
    auto bullet = [&](size_t i) { return canvas.Texts.at(i); };
    EXPECT_EQ(bullet(0).Chars, "\xB7");
    EXPECT_EQ(bullet(0).Font.Name, "Symbol");
    EXPECT_EQ(bullet(0).Rect.Left, 0);
    EXPECT_EQ(canvas.Find("one")->Rect.Left, 12);
    EXPECT_EQ(canvas.Find("two")->Rect.Left, 12);
    EXPECT_GT(canvas.Find("two")->Rect.Top, canvas.Find("one")->Rect.Top);  // a second <LI> starts a line
    EXPECT_EQ(canvas.Find("o")->Rect.Left, 12);  // level 2
    EXPECT_EQ(canvas.Find("three")->Rect.Left, 24);
    EXPECT_EQ(canvas.Find("x")->Rect.Left, 0);  // level 0 again

    canvas.Texts.clear();
    Draw("<P align=\"right\">abc</P>def<BR><P ALIGN=\"center\" indent=\"4\">gh</P><P align=left>ij", 100);
    EXPECT_EQ(canvas.Find("abc")->Rect.Left, 82);
    EXPECT_EQ(canvas.Find("def")->Rect.Left, 82);  // the alignment stays
    EXPECT_EQ(canvas.Find("gh")->Rect.Left, 44 + 4);
    EXPECT_EQ(canvas.Find("ij")->Rect.Left, 44 + 4);  // values count only in quotes
}

TEST_F(MarkupRendererTest, ParagraphBackgroundsAndRules) {
    Draw("<P bgcolor=\"clRed\">a<BR>b</P>c<HR>d", 100);
    ASSERT_EQ(canvas.Fills.size(), 2u);  // both lines of the paragraph, not the next
    EXPECT_EQ(canvas.Fills[0].Rect, (TRect{0, 0, 100, 13}));
    EXPECT_EQ(canvas.Fills[1].Rect, (TRect{0, 13, 100, 26}));
    EXPECT_EQ(canvas.Fills[1].Color, clRed);
    ASSERT_EQ(canvas.Lines.size(), 1u);
    EXPECT_EQ(canvas.Lines[0].Points, (std::vector<TPoint>{{0, 39}, {100, 39}}));

    canvas.Fills.clear();
    Draw("<P bgcolor=\"#000000\" bgcolorto=\"#FC0000\">g</P>", 128);
    ASSERT_EQ(canvas.Fills.size(), 64u);
    EXPECT_EQ(canvas.Fills.front().Color, clBlack);
    EXPECT_EQ(canvas.Fills.front().Rect, (TRect{0, 0, 3, 15}));  // two deeper than the line
    EXPECT_EQ(canvas.Fills.back().Color, RGBColor(0xF8, 0, 0));  // 63 of 64 steps
    EXPECT_EQ(canvas.Fills.back().Rect.Right, 128);
}

TEST_F(MarkupRendererTest, PicturesTakeTheirPlaceOnTheLine) {
    FakePictureLoader loader;
    TPictureStore store(loader);
    auto& item = store.Add();
    item.Name = "Logo";
    item.Picture().LoadFromStream(Bytes("IMG:20x30"));
    FakeImageList images;
    sources = {&store, nullptr, &images, nullptr};

    auto result = Draw("a<IMG src=\"logo\">b<IMG SRC=\"IDX:2\"><IMG src=\"missing\"><IMG src=\"IDX:3\">");
    EXPECT_EQ(result.TextHeight, 30);
    EXPECT_EQ(canvas.Find("b")->Rect.Left, 26);
    EXPECT_EQ(canvas.Find("b")->Rect.Bottom, 30);  // text stands on the picture's bottom
    ASSERT_EQ(canvas.Fills.size(), 2u);
    EXPECT_EQ(canvas.Fills[0].Rect, (TRect{6, 0, 26, 30}));
    EXPECT_EQ(canvas.Fills[1].Color, kListImageColor + 2);
    EXPECT_EQ(canvas.Fills[1].Rect, (TRect{32, 10, 48, 30}));

    canvas.Texts.clear();
    canvas.Fills.clear();
    Draw("a<IMG src=\"logo\" align=\"top\" width=\"10\" height=\"40\">b");
    EXPECT_EQ(canvas.Fills[0].Rect, (TRect{6, 0, 16, 40}));
    EXPECT_EQ(canvas.Find("b")->Rect.Bottom, 13);  // raised to the picture's top

    canvas.Texts.clear();
    canvas.Fills.clear();
    Draw("aaaa<IMG src=\"logo\">", 40);  // does not fit after the text: next line
    EXPECT_EQ(canvas.Fills[0].Rect, (TRect{0, 13, 20, 43}));
}

TEST_F(MarkupRendererTest, PicturesInsideAnchorsAreFoundByPoint) {
    FakePictureLoader loader;
    TPictureStore store(loader);
    store.Add().Name = "pic";
    store.Items(0).Picture().LoadFromStream(Bytes("IMG:20x30"));
    sources.PictureStore = &store;
    options.MeasureOnly = true;
    options.Point = {10, 15};
    auto result = Draw("<A href=\"go\"><IMG src=\"pic\"></A>");
    EXPECT_EQ(result.Anchor, "go");
    EXPECT_EQ(result.AnchorRect, (TRect{0, 0, 20, 30}));
    EXPECT_EQ(result.AnchorPicture, "pic");
    // The ALT text stands in for the source of the picture found.
    EXPECT_EQ(Draw("<A href=\"go\"><IMG src=\"pic\" alt=\"Logo\"></A>").AnchorPicture, "Logo");
    EXPECT_EQ(Draw("x <A href=\"go\">text</A><IMG src=\"pic\" alt=\"Logo\">").AnchorPicture, "");
    options.Point = {20, 15};  // on the edge
    EXPECT_FALSE(Draw("<A href=\"go\"><IMG src=\"pic\"></A>").AnchorHit);
}

TEST_F(MarkupRendererTest, RestoresTheCanvasAndKeepsNoState) {
    canvas.SetBrushColor(clWhite);
    TFontSpec font = canvas.Font();
    Draw("<b><FONT size=\"5\" bgcolor=\"clred\">x<R a=\"90\">y");
    EXPECT_EQ(canvas.Find("y")->Font.Orientation, 900);
    EXPECT_EQ(canvas.Font(), font);
    EXPECT_EQ(canvas.BrushColor(), clWhite);
    canvas.Texts.clear();
    Draw("z<BLINK>w</BL>v");
    EXPECT_EQ(canvas.Find("z")->Font.Style, 0u);
    EXPECT_EQ(canvas.Find("w")->Font.Color, clWhite);  // the brush colour at the start
    EXPECT_EQ(canvas.Find("v")->Font.Color, clBlack);
}

}  // namespace
}  // namespace brenvik
