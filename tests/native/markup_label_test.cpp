// The markup label on a fake host: painting, auto-sizing, anchors under the
// mouse, clicks and tooltips.
#include <gtest/gtest.h>

#include "FakeCanvas.h"
#include "markup_test_pictures.h"
#include "ui/frame/MarkupLabel.h"

namespace brenvik {
namespace {

class FakeHost : public ControlHost {
public:
    void InvalidateRect(const TRect& rect) override { Invalidated.push_back(rect); }
    TPoint CursorPos() const override { return Cursor; }
    void SetCursor(TCursor cursor) override { Shape = cursor; }
    void CancelHint() override { ++HintsCancelled; }
    Canvas& MeasureCanvas() override { return Measure; }

    std::vector<TRect> Invalidated;
    TPoint Cursor{-1, -1};
    TCursor Shape = TCursor::crDefault;
    int HintsCancelled = 0;
    FakeCanvas Measure;
};

class MarkupLabelTest : public ::testing::Test {
protected:
    MarkupLabelTest() : label(host, loader) {
        label.SetBounds({10, 20, 210, 46});
        label.Transparent = true;
    }
    FakeHost host;
    FakePictureLoader loader;
    TMarkupLabel label;
    FakeCanvas canvas;
};

TEST_F(MarkupLabelTest, PaintsTheJoinedTextClippedToTwoLines) {
    label.SetMarkupText("Przycisk <b>Pomoc</b>\r\n udost\xeapnia tematy pomocy jeszcze raz i jeszcze raz jeszcze");
    EXPECT_EQ(label.MarkupText(), "Przycisk <b>Pomoc</b> udost\xeapnia tematy pomocy jeszcze raz i jeszcze raz jeszcze");
    label.Paint(canvas);
    int lastTop = 0;
    for (const auto& text : canvas.Texts) lastTop = std::max(lastTop, text.Rect.Top);
    EXPECT_EQ(lastTop, 13);  // 26 pixels high: two 13-pixel lines
    EXPECT_EQ(canvas.Find("Pomoc")->Font.Style, unsigned{fsBold});
    EXPECT_TRUE(canvas.Fills.empty());  // transparent
}

TEST_F(MarkupLabelTest, BevelsBorderAndVerticalAlignment) {
    label.Transparent = false;
    label.Color = clWhite;
    label.SetBevels(TBevelCut::bvNone, TBevelCut::bvLowered, 1);
    label.SetBorder(TBorderStyle::bsSingle, 2);
    label.SetVAlignment(TVAlignment::tvaBottom);
    label.SetMarkupText("x");
    label.Paint(canvas);
    EXPECT_EQ(canvas.Fills.front().Color, clWhite);
    ASSERT_GE(canvas.Lines.size(), 2u);
    EXPECT_EQ(canvas.Lines[0].Color, clBtnShadow);  // lowered: shadow top-left
    EXPECT_EQ(canvas.Lines[1].Color, clBtnHighlight);
    // Inside the frames drawn (bevel 1, border band 2), then inset by both once more.
    EXPECT_EQ(canvas.Find("x")->Rect.Left, 6);
    EXPECT_EQ(canvas.Find("x")->Rect.Bottom, 26 - 6);
    ASSERT_EQ(canvas.Clips.size(), 0u);
}

TEST_F(MarkupLabelTest, AutoSizingFitsTheText) {
    label.SetMarkupText("aaa<BR>bb");
    label.SetAutoSizeType(TAutoSizeType::asBoth);
    label.SetAutoSizing(true);
    label.Paint(canvas);
    EXPECT_EQ(label.BoundsRect(), (TRect{10, 20, 10 + 18 + 6, 20 + 26 + 6}));

    // Aligned to a side only the width follows the text, starting from 6 pixels.
    label.Align = TAlign::alLeft;
    label.SetAutoSizing(true);
    EXPECT_EQ(label.Width(), 6);
    EXPECT_EQ(label.Height(), 26 + 6);
    label.SetMarkupText("aaaa<BR>bb");
    label.Paint(canvas);
    EXPECT_EQ(label.Width(), 24 + 6);
    EXPECT_EQ(label.Height(), 26 + 6);
}

TEST_F(MarkupLabelTest, HoverEnterExitAndClicks) {
    std::vector<std::string> events, opened, clicked;
    label.OnAnchorEnter = [&](TMarkupLabel&, const std::string& a) { events.push_back("enter " + a); };
    label.OnAnchorExit = [&](TMarkupLabel&, const std::string& a) { events.push_back("exit " + a); };
    label.OnAnchorClick = [&](TMarkupLabel&, const std::string& a) { clicked.push_back(a); };
    label.OpenAddress = [&](const std::string& a) { opened.push_back(a); };
    label.SetHover(true, clNone, clRed);
    label.SetMarkupText("<A href=\"http://x\">web</A> <A href=\"local\">here</A>");

    label.MouseMove({3, 6});
    EXPECT_EQ(host.Shape, TCursor::crHandPoint);
    EXPECT_EQ(label.HoveredAnchor(), 1);
    label.MouseMove({4, 6});  // same anchor: no second enter
    label.MouseMove({30, 6});
    label.MouseMove({100, 6});
    EXPECT_EQ(events, (std::vector<std::string>{"enter http://x", "enter local", "exit "}));
    EXPECT_EQ(host.Shape, TCursor::crDefault);

    label.MouseDown({3, 6});
    label.MouseDown({30, 6});
    EXPECT_EQ(opened, std::vector<std::string>{"http://x"});  // the shell, not the event
    EXPECT_EQ(clicked, std::vector<std::string>{"local"});

    host.Cursor = {10 + 3, 20 + 6};  // over the first anchor while painting
    label.MouseMove({3, 6});
    label.Paint(canvas);
    EXPECT_EQ(canvas.Find("web")->Font.Color, clRed);
    EXPECT_FALSE(canvas.Find("here")->Font.Style & fsUnderline);
    label.MouseLeave();
    EXPECT_EQ(label.HoveredAnchor(), -1);
}

TEST_F(MarkupLabelTest, Tooltips) {
    label.SetMarkupText("<b>Bold</b><br>next<HR>end <A href=\"addr\">a</A>");
    THintInfo hint;
    EXPECT_FALSE(label.HintAt({1, 1}, hint));
    label.HintShowFull = true;
    ASSERT_TRUE(label.HintAt({1, 1}, hint));
    EXPECT_EQ(hint.Text, "Bold\r\nnext\r\nend a");
    label.MarkupHint = true;
    label.HintAt({1, 1}, hint);
    EXPECT_EQ(hint.Text, label.MarkupText());

    label.AnchorHint = true;
    label.OnAnchorHint = [](TMarkupLabel&, std::string& anchor) { anchor += "!"; };
    ASSERT_TRUE(label.HintAt({4 * 6 + 1, 26 + 6}, hint));
    EXPECT_EQ(hint.Text, "addr!");
    EXPECT_EQ(hint.Position, (TPoint{4 * 6 + 11, 26 - 4}));
}

TEST_F(MarkupLabelTest, ForgetsDestroyedSourcesAndRepaintsOnImageChanges) {
    auto images = std::make_unique<FakeImageList>();
    auto store = std::make_unique<TPictureStore>(loader);
    label.SetImages(images.get());
    label.SetPictureStore(store.get());
    host.Invalidated.clear();
    images->Change();
    EXPECT_EQ(host.Invalidated.size(), 1u);
    images.reset();
    store.reset();
    EXPECT_EQ(label.Images(), nullptr);
    EXPECT_EQ(label.PictureStore(), nullptr);
}

}  // namespace
}  // namespace brenvik
