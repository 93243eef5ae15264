// Measuring and laying out the flat menu's items, and accelerator texts.
#include <gtest/gtest.h>

#include "FakeCanvas.h"
#include "ui/style/AcceleratorText.h"
#include "ui/style/MenuItemGeometry.h"

namespace brenvik {
namespace {

constexpr TSize kImage16{16, 16};

class MenuMeasureTest : public ::testing::Test {
protected:
    // 8-point glyphs: 6 wide, 13 high.
    TSize Measure(const MenuItemText& item, TSize image = kImage16, TSize proposed = {}, int size = 8) {
        canvas.SetFont({"Tahoma", size});
        int width = proposed.Width, height = proposed.Height;
        MeasureMenuItem(canvas, item, image, 24, width, height);
        return {width, height};
    }
    FakeCanvas canvas;
};

TEST_F(MenuMeasureTest, CaptionWidthLeavesOutTheAmpersandAndAddsTheImageColumn) {
    EXPECT_EQ(Measure({"&Otw\xf3rz", ""}), (TSize{7 * 6 - 6 + 24 + 10, 23}));
    EXPECT_EQ(Measure({"Otw\xf3rz", ""}).Width, 6 * 6 + 24 + 10);
    // Only one ampersand's width comes off, however many there are.
    EXPECT_EQ(Measure({"A&&B", ""}).Width, 4 * 6 - 6 + 34);
}

TEST_F(MenuMeasureTest, ShortcutReservesRoomForItselfAndThreeLetters) {
    EXPECT_EQ(Measure({"Kopiuj", "Ctrl+C"}).Width, (6 + 6 + 3) * 6 + 34);
    EXPECT_EQ(Measure({"Kopiuj", "   "}).Width, 6 * 6 + 34);  // a blank shortcut is none
}

TEST_F(MenuMeasureTest, HeightIsTextAndThreeQuartersRoundedToEvenButFitsTheImage) {
    EXPECT_EQ(Measure({"W", ""}, {}).Height, 13 + 10);       // 9.75
    EXPECT_EQ(Measure({"W", ""}, {}, {}, 9).Height, 14 + 10);  // 10.5 → 10
    EXPECT_EQ(Measure({"W", ""}, {}, {}, 12).Height, 19 + 14);  // 14.25
    EXPECT_EQ(Measure({"W", ""}, {16, 30}).Height, 36);         // image height + 6
    EXPECT_EQ(Measure({"W", ""}, {32, 32}).Width, 6 + 32 + 10);  // a wider image widens the column
}

TEST_F(MenuMeasureTest, OnlyGrowsWhatTheSystemProposed) {
    EXPECT_EQ(Measure({"Ab", ""}, kImage16, {200, 40}), (TSize{200, 40}));
    EXPECT_EQ(Measure({"Ab", ""}, kImage16, {10, 5}), (TSize{2 * 6 + 34, 23}));
}

TEST_F(MenuMeasureTest, SeparatorIsFourPixelsHighWhateverTheFont) {
    for (int size : {8, 20}) {
        TSize separator = Measure({"-", "Ctrl+X"}, kImage16, {0, 30}, size);
        EXPECT_EQ(separator.Height, kMenuSeparatorHeight);
        EXPECT_EQ(separator.Width, 24 + 10);  // measured as empty text
    }
}

TEST(MenuLayout, ImageSitsInTheColumnAndLiftsOverItsShadow) {
    MenuItemLayout layout = LayOutMenuItem({10, 30, 160, 54}, 24, kImage16);
    EXPECT_EQ(layout.IconColumn, (TRect{10, 30, 34, 54}));
    EXPECT_EQ(layout.Image, (TPoint{10 + 3, 30 + 4}));
    EXPECT_EQ(layout.LiftedImage, (TPoint{10 + 2, 30 + 3}));
    EXPECT_EQ(layout.Shadow, (TPoint{10 + 4, 30 + 5}));
    EXPECT_EQ(layout.TextLeft, 34);
    EXPECT_EQ(LayOutMenuItem({0, 0, 100, 24}, 24, {32, 32}).Image.X, 2);  // wider than the column
    EXPECT_EQ(LayOutMenuItem({0, 0, 100, 24}, 24, {15, 15}).Image.X, 3);  // odd room rounds down
}

TEST(MenuLayout, SeparatorLineSitsHalfwayRoundedToEven) {
    MenuItemLayout four = LayOutMenuItem({0, 40, 100, 45}, 24, {});  // 4 high, extended by 1
    EXPECT_EQ(four.SeparatorY, 42);                                  // 2.5 → 2
    EXPECT_EQ(four.SeparatorLeft, 24 + 7);
    EXPECT_EQ(LayOutMenuItem({0, 40, 100, 47}, 24, {}).SeparatorY, 44);  // 3.5 → 4
}

TEST(MenuLayout, CaptionIsIndentedAndCentredOnTheLetterW) {
    FakeCanvas canvas;
    canvas.SetFont({"Tahoma", 8});
    TRect item{0, 10, 150, 34};
    TRect caption = MenuCaptionRect(canvas, LayOutMenuItem(item, 24, kImage16), item);
    EXPECT_EQ(caption, (TRect{24 + 5, 10 + (24 - 13) / 2, 150, 34}));
}

TEST(AcceleratorText, MarkersAreDroppedAndDoubledOnesShowOnce) {
    EXPECT_EQ(WithoutAccelerator("&Importuj"), "Importuj");
    EXPECT_EQ(WithoutAccelerator("A&&B"), "A&B");
    EXPECT_EQ(WithoutAccelerator("Zamknij&"), "Zamknij");
    EXPECT_EQ(WithoutAccelerator(""), "");
    EXPECT_EQ(AcceleratorChar("&Otw\xf3rz"), 'O');
    EXPECT_EQ(AcceleratorChar("Ucinaj &ko\xf1"), 'k');
    EXPECT_EQ(AcceleratorChar("A&&B&c"), 'c');
    EXPECT_EQ(AcceleratorChar("A&&B"), 0);
    EXPECT_EQ(AcceleratorChar("Koniec&"), 0);
}

}  // namespace
}  // namespace brenvik
