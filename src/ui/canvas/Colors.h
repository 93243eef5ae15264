#pragma once
#include <cstdint>

namespace brenvik {

// 0x00BBGGRR for an explicit colour, 0x80000000 + n for system colour n,
// clNone for "no colour" (a brush set to it is clear).
using TColor = std::uint32_t;

constexpr TColor clSystemColor = 0x80000000u;
constexpr TColor clNone = 0x1FFFFFFFu;

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;

constexpr TColor SystemColor(int index) { return clSystemColor + static_cast<TColor>(index); }
constexpr bool IsSystemColor(TColor color) { return (color & clSystemColor) != 0; }
constexpr int SystemColorIndex(TColor color) { return static_cast<int>(color & 0xFF); }

constexpr TColor clWindow = SystemColor(5);
constexpr TColor clWindowText = SystemColor(8);
constexpr TColor clHighlight = SystemColor(13);
constexpr TColor clHighlightText = SystemColor(14);
constexpr TColor clBtnFace = SystemColor(15);
constexpr TColor clBtnShadow = SystemColor(16);
constexpr TColor clBtnHighlight = SystemColor(20);

constexpr TColor RGBColor(int red, int green, int blue) {
    return static_cast<TColor>(red) | static_cast<TColor>(green) << 8 | static_cast<TColor>(blue) << 16;
}
constexpr int RedOf(TColor rgb) { return static_cast<int>(rgb & 0xFF); }
constexpr int GreenOf(TColor rgb) { return static_cast<int>(rgb >> 8 & 0xFF); }
constexpr int BlueOf(TColor rgb) { return static_cast<int>(rgb >> 16 & 0xFF); }

}  // namespace brenvik
