#pragma once
#include "ui/canvas/Colors.h"

namespace brenvik {

// The device a colour is meant for: it resolves system colours and knows
// which colours it can show. The style's colour rules work on resolved
// 0x00BBGGRR values and leave the device mapping to the caller.
class ColorDevice {
public:
    virtual ~ColorDevice() = default;
    virtual TColor ToRgb(TColor color) const = 0;
    virtual TColor Nearest(TColor rgb) const = 0;
    virtual int BitsPerPixel() const = 0;
};

// numerator / denominator rounded to the nearest integer, halves to even.
int RoundHalfEven(int numerator, int denominator);
// number × numerator / denominator rounded to the nearest integer, halves
// away from zero, as the Windows MulDiv does; -1 for a zero denominator.
int MulDivRound(int number, int numerator, int denominator);

// Each byte moves numerator/denominator of the way to white (MulDiv rounding).
TColor LightenByFraction(TColor rgb, int numerator, int denominator);
// Each byte moves percent (at most 100) of the way to white, halves to even.
TColor Lighten(TColor rgb, int percent);
// Red and blue lose k, green k − 2; bytes stay within 0..255.
TColor Darken(TColor rgb, int k);
// The average of the bytes plus k, at most 240, as a grey.
TColor Grey(TColor rgb, int k);

// The colours the menu painter derives from the system's at every paint.
struct FlatMenuColors {
    TColor MenuBack, IconBack, SelectFill, SelectBorder, SelectedText, DisabledText, Separator, Checked,
        CheckedArea, SelectedCheckedArea;
};

// Above 15 bits per pixel the tints are computed; on fewer bits they would
// dither, so plain white and the system colours stand in.
FlatMenuColors DeriveMenuColors(const ColorDevice& device, TColor fontColor);
bool IsHighColor(const ColorDevice& device);

}  // namespace brenvik
