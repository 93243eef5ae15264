#include "ui/style/StyleColors.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace brenvik {
namespace {

template <typename Step>
TColor PerByte(TColor rgb, Step step) {
    return RGBColor(step(RedOf(rgb)), step(GreenOf(rgb)), step(BlueOf(rgb)));
}

int ClampByte(int value) { return std::clamp(value, 0, 255); }

}  // namespace

int RoundHalfEven(int numerator, int denominator) {
    if (denominator < 0) numerator = -numerator, denominator = -denominator;
    int quotient = numerator / denominator, remainder = numerator % denominator;
    if (remainder < 0) --quotient, remainder += denominator;  // floor division
    int twice = 2 * remainder;
    if (twice > denominator || (twice == denominator && quotient % 2 != 0)) ++quotient;
    return quotient;
}

int MulDivRound(int number, int numerator, int denominator) {
    if (denominator == 0) return -1;
    std::int64_t product = static_cast<std::int64_t>(number) * numerator;
    bool negative = (product < 0) != (denominator < 0);
    std::int64_t magnitude = std::llabs(product), divisor = std::llabs(denominator);
    std::int64_t rounded = (magnitude + divisor / 2) / divisor;
    return static_cast<int>(negative ? -rounded : rounded);
}

TColor LightenByFraction(TColor rgb, int numerator, int denominator) {
    return PerByte(rgb, [&](int x) { return ClampByte(x + MulDivRound(255 - x, numerator, denominator)); });
}

TColor Lighten(TColor rgb, int percent) {
    percent = std::clamp(percent, 0, 100);
    return PerByte(rgb, [&](int x) { return x + RoundHalfEven((255 - x) * percent, 100); });
}

TColor Darken(TColor rgb, int k) {
    return RGBColor(ClampByte(RedOf(rgb) - k), ClampByte(GreenOf(rgb) - k + 2), ClampByte(BlueOf(rgb) - k));
}

TColor Grey(TColor rgb, int k) {
    int grey = std::min((RedOf(rgb) + GreenOf(rgb) + BlueOf(rgb)) / 3 + k, 240);
    grey = ClampByte(grey);
    return RGBColor(grey, grey, grey);
}

bool IsHighColor(const ColorDevice& device) { return device.BitsPerPixel() > 15; }

FlatMenuColors DeriveMenuColors(const ColorDevice& device, TColor fontColor) {
    auto lighten = [&](TColor color, int percent) { return device.Nearest(Lighten(device.ToRgb(color), percent)); };
    auto plain = [&](TColor color) { return device.Nearest(device.ToRgb(color)); };
    TColor white = plain(clWhite);
    FlatMenuColors colors{};
    colors.SelectBorder = plain(clHighlight);
    colors.Checked = plain(clHighlight);
    colors.SelectedText = plain(fontColor);
    if (IsHighColor(device)) {
        colors.MenuBack = lighten(clBtnFace, 86);
        colors.IconBack = lighten(clBtnFace, 16);
        colors.SelectFill = lighten(clHighlight, 68);
        colors.DisabledText = lighten(clBtnShadow, 10);
        colors.Separator = lighten(clBtnShadow, 25);
        colors.CheckedArea = lighten(clHighlight, 80);
        colors.SelectedCheckedArea = lighten(clHighlight, 50);
    } else {
        colors.MenuBack = white;
        colors.IconBack = plain(clBtnFace);
        colors.SelectFill = white;
        colors.DisabledText = plain(clBtnShadow);
        colors.Separator = plain(clBtnShadow);
        colors.CheckedArea = white;
        colors.SelectedCheckedArea = white;
    }
    return colors;
}

}  // namespace brenvik
