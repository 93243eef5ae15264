// The visual style's colour rules, derived menu colours and bitmap operations.
#include <gtest/gtest.h>

#include <map>

#include "ui/style/PixelBuffer.h"
#include "ui/style/StyleColors.h"

namespace brenvik {
namespace {

constexpr TColor kFace = RGBColor(212, 208, 200);
constexpr TColor kHighlight = RGBColor(10, 36, 106);
constexpr TColor kShadow = RGBColor(128, 128, 128);

// A device with the classic system colours; at low depth it can only show
// colours whose bytes are multiples of 8.
class FakeDevice : public ColorDevice {
public:
    explicit FakeDevice(int bits) : bits_(bits) {}
    TColor ToRgb(TColor color) const override {
        static const std::map<TColor, TColor> system = {
            {clBtnFace, kFace}, {clHighlight, kHighlight}, {clBtnShadow, kShadow}, {SystemColor(7), clBlack}};
        return IsSystemColor(color) ? system.at(color) : color;
    }
    TColor Nearest(TColor rgb) const override { return bits_ > 15 ? rgb : rgb & 0xF8F8F8u; }
    int BitsPerPixel() const override { return bits_; }

private:
    int bits_;
};

TEST(StyleRounding, HalvesGoToEvenAndMulDivRoundsThemAway) {
    EXPECT_EQ(RoundHalfEven(5, 2), 2);
    EXPECT_EQ(RoundHalfEven(7, 2), 4);
    EXPECT_EQ(RoundHalfEven(-5, 2), -2);
    EXPECT_EQ(RoundHalfEven(39, 4), 10);
    EXPECT_EQ(RoundHalfEven(37, 4), 9);
    EXPECT_EQ(MulDivRound(55, 3, 10), 17);
    EXPECT_EQ(MulDivRound(-55, 3, 10), -17);
    EXPECT_EQ(MulDivRound(54, 3, 10), 16);
    EXPECT_EQ(MulDivRound(1, 1, 0), -1);
    EXPECT_EQ(MulDivRound(0x7FFFFFFF, 4, 4), 0x7FFFFFFF);  // no overflow in between
}

TEST(StyleColors, LightenByFractionGivesTheOptionsPanelColour) {
    TColor panel = LightenByFraction(kFace, 3, 10);
    EXPECT_EQ(panel, RGBColor(225, 222, 217));  // blue: 200 + 16.5 rounds up to 217
    EXPECT_EQ(panel, TColor{14278369});          // the main window's stored panel colour
    EXPECT_EQ(LightenByFraction(clWhite, 3, 10), clWhite);
    EXPECT_EQ(LightenByFraction(clBlack, 1, 1), clWhite);
}

TEST(StyleColors, LightenDarkenAndGreyFollowTheirRules) {
    EXPECT_EQ(Lighten(RGBColor(250, 240, 0), 10), RGBColor(250, 242, 26));  // 0.5 → 0, 1.5 → 2, 25.5 → 26
    EXPECT_EQ(Lighten(clBlack, 30), RGBColor(76, 76, 76));                 // 76.5 → 76
    EXPECT_EQ(Lighten(clBlack, 150), clWhite);                             // limited to 100 percent
    EXPECT_EQ(Lighten(kFace, 0), kFace);
    EXPECT_EQ(Darken(RGBColor(100, 100, 100), 50), RGBColor(50, 52, 50));
    EXPECT_EQ(Darken(RGBColor(10, 0, 255), 50), RGBColor(0, 0, 205));
    EXPECT_EQ(Darken(RGBColor(0, 255, 0), -10), RGBColor(10, 255, 10));
    EXPECT_EQ(Grey(RGBColor(30, 60, 90), 10), RGBColor(70, 70, 70));
    EXPECT_EQ(Grey(RGBColor(31, 60, 90), 10), RGBColor(70, 70, 70));  // the average is truncated
    EXPECT_EQ(Grey(clWhite, 0), RGBColor(240, 240, 240));
}

TEST(StyleMenuColors, HighColourTintsTheSystemColours) {
    FakeDevice device(32);
    ASSERT_TRUE(IsHighColor(device));
    FlatMenuColors colors = DeriveMenuColors(device, SystemColor(7));
    EXPECT_EQ(colors.MenuBack, RGBColor(249, 248, 247));
    EXPECT_EQ(colors.IconBack, RGBColor(219, 216, 209));
    EXPECT_EQ(colors.SelectFill, RGBColor(177, 185, 207));
    EXPECT_EQ(colors.SelectBorder, kHighlight);
    EXPECT_EQ(colors.SelectedText, clBlack);
    EXPECT_EQ(colors.DisabledText, RGBColor(141, 141, 141));
    EXPECT_EQ(colors.Separator, RGBColor(160, 160, 160));
    EXPECT_EQ(colors.Checked, kHighlight);
    EXPECT_EQ(colors.CheckedArea, RGBColor(206, 211, 225));
    EXPECT_EQ(colors.SelectedCheckedArea, RGBColor(132, 146, 180));  // 122.5, 109.5, 74.5 all to even
}

TEST(StyleMenuColors, FifteenBitsOrFewerUsePlainColoursTheDeviceCanShow) {
    for (int bits : {15, 8}) {
        FakeDevice device(bits);
        EXPECT_FALSE(IsHighColor(device));
        FlatMenuColors colors = DeriveMenuColors(device, RGBColor(1, 2, 3));
        EXPECT_EQ(colors.MenuBack, RGBColor(248, 248, 248));
        EXPECT_EQ(colors.IconBack, RGBColor(208, 208, 200));
        EXPECT_EQ(colors.SelectFill, colors.MenuBack);
        EXPECT_EQ(colors.SelectBorder, RGBColor(8, 32, 104));
        EXPECT_EQ(colors.DisabledText, kShadow);
        EXPECT_EQ(colors.Separator, kShadow);
        EXPECT_EQ(colors.CheckedArea, colors.MenuBack);
        EXPECT_EQ(colors.SelectedCheckedArea, colors.MenuBack);
        EXPECT_EQ(colors.SelectedText, clBlack);
    }
}

PixelBuffer Picture(std::initializer_list<TColor> rowMajor, int width) {
    PixelBuffer pixels(width, static_cast<int>(rowMajor.size()) / width);
    pixels.Pixels.assign(rowMajor);
    return pixels;
}

TEST(StylePixels, DimAndGreyMapEveryPixelEvenInRunsThatChange) {
    constexpr TColor a = clBlack, b = RGBColor(200, 100, 0);
    PixelBuffer dimmed = Picture({a, a, b, a, b, b}, 3);
    DimPixels(dimmed, 30);
    TColor dimA = RGBColor(76, 76, 76), dimB = Lighten(b, 30);
    EXPECT_EQ(dimB, RGBColor(216, 146, 76));
    EXPECT_EQ(dimmed.Pixels, (std::vector<TColor>{dimA, dimA, dimB, dimA, dimB, dimB}));
    PixelBuffer greyed = Picture({b, a, a, b}, 2);
    GreyPixels(greyed, 10);
    EXPECT_EQ(greyed.Pixels, (std::vector<TColor>{RGBColor(110, 110, 110), RGBColor(10, 10, 10),
                                                  RGBColor(10, 10, 10), RGBColor(110, 110, 110)}));
}

TEST(StylePixels, SilhouetteKeepsTheBottomLeftBackgroundAndPaintsTheShape) {
    constexpr TColor key = RGBColor(255, 0, 255), ink = clRed, shade = RGBColor(9, 9, 9);
    PixelBuffer picture = Picture({ink, key, clBlue,  //
                                   key, key, ink},
                                  3);
    EXPECT_EQ(picture.Background(), key);
    PixelBuffer shape = Silhouette(picture, shade);
    EXPECT_EQ(shape.Pixels, (std::vector<TColor>{shade, key, shade, key, key, shade}));
    EXPECT_EQ(PixelBuffer().Background(), clNone);
}

}  // namespace
}  // namespace brenvik
