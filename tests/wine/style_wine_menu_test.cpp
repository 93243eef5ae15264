// The flat menu painter on real GDI surfaces: pixels of painted items, its
// handlers on the items, and a real popup menu painted through it.
#include <gtest/gtest.h>
#include <windows.h>

#include "markup_bitmap.h"
#include "ui/style/GdiStyle.h"
#include "ui/style/TFlatMenuPainter.h"
#include "ui/style/TImageList.h"
#include "ui/toolkit/TApplication.h"

namespace brenvik {
namespace {

constexpr COLORREF kKey = RGB(255, 0, 255);
constexpr TColor kInk = RGBColor(255, 0, 0);

// A 16-pixel image: a red square with a one-pixel transparent margin.
HBITMAP RedSquare() {
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 16, 16);
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ original = SelectObject(dc, bitmap);
    RECT all{0, 0, 16, 16}, square{1, 1, 15, 15};
    HBRUSH key = CreateSolidBrush(kKey), ink = CreateSolidBrush(kInk);
    FillRect(dc, &all, key);
    FillRect(dc, &square, ink);
    DeleteObject(key);
    DeleteObject(ink);
    SelectObject(dc, original);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return bitmap;
}

void CALLBACK CloseMenu(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    EndMenu();
}

class FlatMenuTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { TApplication::Instance().Initialize(); }

    FlatMenuTest() {
        menu = new TPopupMenu(&owner);
        open = menu->Add("pmOpen", "&Otw\xf3rz");
        open->ImageIndex = 0;
        separator = menu->Add("N1", "-");
        images = new TImageList(&owner);
        HBITMAP square = RedSquare();
        images->AddMasked(square, kKey);
        DeleteObject(square);
        menu->Images = images;
        painter = new TFlatMenuPainter(&owner);
        painter->SetActive(true);
    }

    FlatMenuColors Colors() { return DeriveMenuColors(GdiColorDevice(bitmap.Canvas().Handle()), painter->Font.Color); }
    void Draw(TMenuItem& item, const TRect& rect, bool selected) {
        item.OnDrawItem(item, bitmap.Canvas(), rect, selected);
        GdiFlush();
    }

    TComponent owner{nullptr};
    TPopupMenu* menu;
    TMenuItem *open, *separator;
    TImageList* images;
    TFlatMenuPainter* painter;
    MemoryBitmap bitmap{160, 80};
};

TEST_F(FlatMenuTest, ImageAtRestIsDimmedInTheColumnThreeInAndFourDown) {
    ASSERT_TRUE(menu->OwnerDraw);
    Draw(*open, {0, 30, 150, 53}, false);
    FlatMenuColors colors = Colors();
    TColor dimmed = Lighten(kInk, 30);
    EXPECT_EQ(dimmed, RGBColor(255, 76, 76));
    EXPECT_EQ(bitmap.Pixel(3 + 1, 34 + 1), dimmed);    // the square's first pixel
    EXPECT_EQ(bitmap.Pixel(3 + 14, 34 + 14), dimmed);  // and its last
    EXPECT_EQ(bitmap.Pixel(3, 34), colors.IconBack);   // the margin is transparent
    EXPECT_EQ(bitmap.Pixel(18, 49), colors.IconBack);
    EXPECT_EQ(bitmap.Pixel(23, 51), colors.IconBack);
    EXPECT_EQ(bitmap.Pixel(24, 51), colors.MenuBack);
    EXPECT_EQ(bitmap.Pixel(60, 53), colors.MenuBack);  // the rectangle reaches one row lower
    int caption = 0;
    for (int y = 30; y < 54; ++y)
        for (int x = 29; x < 120; ++x) caption += bitmap.Pixel(x, y) != colors.MenuBack;
    EXPECT_GT(caption, 20);
}

TEST_F(FlatMenuTest, SelectedItemLiftsTheImageOverItsShadowInsideAnOutlinedBand) {
    Draw(*open, {0, 30, 150, 53}, true);
    FlatMenuColors colors = Colors();
    TColor shadow = Darken(colors.SelectFill, 50);
    EXPECT_EQ(bitmap.Pixel(2 + 1, 33 + 1), kInk);  // lifted by one, not dimmed
    EXPECT_EQ(bitmap.Pixel(2 + 14, 33 + 14), kInk);
    EXPECT_EQ(bitmap.Pixel(2, 33), colors.SelectFill);
    EXPECT_EQ(bitmap.Pixel(4 + 14, 35 + 14), shadow);  // the shadow's corner shows below right
    EXPECT_EQ(bitmap.Pixel(4 + 13, 35 + 14), shadow);
    EXPECT_EQ(bitmap.Pixel(4 + 1, 35 + 1), kInk);      // elsewhere the image covers it
    EXPECT_EQ(bitmap.Pixel(80, 30), colors.MenuBack);  // band: one pixel in at top and bottom
    EXPECT_EQ(bitmap.Pixel(80, 31), colors.SelectBorder);
    EXPECT_EQ(bitmap.Pixel(80, 32), colors.SelectFill);
    EXPECT_EQ(bitmap.Pixel(0, 40), colors.SelectBorder);
    EXPECT_EQ(bitmap.Pixel(149, 40), colors.SelectBorder);
    EXPECT_EQ(bitmap.Pixel(80, 52), colors.SelectBorder);
    EXPECT_EQ(bitmap.Pixel(80, 53), colors.MenuBack);
}

TEST_F(FlatMenuTest, SeparatorIsFourHighWithItsLineHalfway) {
    int width = 0, height = 30;
    separator->OnMeasureItem(*separator, bitmap.Canvas(), width, height);
    EXPECT_EQ(height, 4);
    EXPECT_EQ(width, 24 + 10);
    Draw(*separator, {0, 60, 150, 64}, false);
    FlatMenuColors colors = Colors();
    EXPECT_EQ(bitmap.Pixel(31, 62), colors.Separator);
    EXPECT_EQ(bitmap.Pixel(149, 62), colors.Separator);
    EXPECT_EQ(bitmap.Pixel(30, 62), colors.MenuBack);
    EXPECT_EQ(bitmap.Pixel(31, 61), colors.MenuBack);
    EXPECT_EQ(bitmap.Pixel(31, 63), colors.MenuBack);
    EXPECT_EQ(bitmap.Pixel(10, 62), colors.IconBack);
}

TEST_F(FlatMenuTest, MeasuredCaptionLeavesOutTheAmpersand) {
    int width = 0, height = 0;
    open->OnMeasureItem(*open, bitmap.Canvas(), width, height);
    bitmap.Canvas().SetFont(painter->Font);
    int text = bitmap.Canvas().TextExtent("&Otw\xf3rz").Width - bitmap.Canvas().TextExtent("&").Width;
    EXPECT_EQ(width, text + 24 + 10);
    EXPECT_GE(height, 16 + 6);
}

TEST_F(FlatMenuTest, DetachingLeavesOtherPaintersAloneAndLateItemsJoinOnThePaint) {
    TMenuItem* own = menu->Add("pmOwn", "Own");
    int ownDraws = 0;
    own->OnDrawItem = [&](TMenuItem&, Canvas&, const TRect&, bool) { ++ownDraws; };
    TMenuItem* late = menu->Add("pmLate", "Late");
    EXPECT_FALSE(late->OnDrawItem);
    Draw(*open, {0, 0, 150, 23}, false);  // a paint attaches items added since
    ASSERT_TRUE(late->OnDrawItem);
    EXPECT_TRUE(late->OnMeasureItem);
    own->OnDrawItem(*own, bitmap.Canvas(), {0, 0, 10, 10}, false);
    EXPECT_EQ(ownDraws, 1);  // its own handler was kept

    painter->SetActive(false);
    EXPECT_FALSE(open->OnDrawItem);
    EXPECT_FALSE(late->OnMeasureItem);
    ASSERT_TRUE(own->OnDrawItem);
    EXPECT_FALSE(own->OnMeasureItem);  // it had none of its own: the painter's came and went
    EXPECT_TRUE(menu->OwnerDraw);     // someone still paints

    painter->OverrideOwnerDraw = true;
    painter->SetActive(true);
    own->OnDrawItem(*own, bitmap.Canvas(), {0, 0, 10, 10}, false);
    EXPECT_EQ(ownDraws, 1);  // overridden
}

TEST_F(FlatMenuTest, WithoutPopupMenusAmongItsTargetsItLeavesTheMenuAlone) {
    painter->SetFlatControls(xcMainMenu);
    EXPECT_FALSE(open->OnDrawItem);
    EXPECT_FALSE(menu->OwnerDraw);
    painter->SetFlatControls(xcPopupMenu);
    EXPECT_TRUE(open->OnDrawItem);
}

TEST_F(FlatMenuTest, RealPopupMenuIsMeasuredAndPaintedThroughThePainter) {
    int measured = 0, drawn = 0;
    for (TMenuItem* item : menu->Items) {
        auto measure = item->OnMeasureItem;
        auto draw = item->OnDrawItem;
        item->OnMeasureItem = [&, measure](TMenuItem& i, Canvas& c, int& w, int& h) {
            ++measured;
            measure(i, c, w, h);
        };
        item->OnDrawItem = [&, draw](TMenuItem& i, Canvas& c, const TRect& r, bool s) {
            ++drawn;
            draw(i, c, r, s);
        };
    }
    // The menu runs its own loop: a timer closes it once it has been painted.
    UINT_PTR timer = SetTimer(nullptr, 0, 500, CloseMenu);
    ASSERT_NE(timer, 0u);
    menu->Popup(50, 50);
    EXPECT_EQ(measured, 2);
    EXPECT_GE(drawn, 2);
}

}  // namespace
}  // namespace brenvik
