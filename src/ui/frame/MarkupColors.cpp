#include "ui/frame/MarkupColors.h"

#include "ui/frame/MarkupTags.h"

namespace brenvik {
namespace {

struct NamedColor {
    std::string_view Name;
    TColor Color;
};

constexpr NamedColor kNamedColors[] = {
    {"clred", clRed},
    {"clblack", clBlack},
    {"clblue", clBlue},
    {"clgreen", clGreen},
    {"claqua", clAqua},
    {"clyellow", clYellow},
    {"clfuchsia", clFuchsia},
    {"clwhite", clWhite},
    {"cllime", clLime},
    {"clsilver", clSilver},
    {"clgray", clGray},
    {"clolive", clOlive},
    {"clnavy", clNavy},
    {"clpurple", clPurple},
    {"clteal", clTeal},
    {"clmaroon", clMaroon},
    {"clbackground", SystemColor(1)},
    {"clactivecaption", SystemColor(2)},
    {"clinactivecaption", SystemColor(3)},
    {"clmenu", SystemColor(4)},
    {"clwindow", SystemColor(5)},
    {"clwindowframe", SystemColor(6)},
    {"clmenutext", SystemColor(7)},
    {"clwindowtext", SystemColor(8)},
    {"clcaptiontext", SystemColor(9)},
    {"clactiveborder", SystemColor(10)},
    {"clinactiveborder", SystemColor(11)},
    {"clappworkspace", SystemColor(12)},
    {"clhighlight", SystemColor(13)},
    {"clhighlighttext", SystemColor(14)},
    {"clbtnface", SystemColor(15)},
    {"clbtnshadow", SystemColor(16)},
    {"clgraytext", SystemColor(17)},
    {"clbtntext", SystemColor(18)},
    {"clinactivecaptiontext", SystemColor(19)},
    {"clbtnhighlight", SystemColor(20)},
    {"cl3ddkshadow", SystemColor(21)},
    {"cl3dlight", SystemColor(22)},
    {"clinfotext", SystemColor(23)},
    {"clinfobk", SystemColor(24)},
};

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return 0;
}

int HexByte(std::string_view digits, size_t at) {
    int high = at < digits.size() ? HexDigit(digits[at]) : 0;
    int low = at + 1 < digits.size() ? HexDigit(digits[at + 1]) : 0;
    return high * 16 + low;
}

}  // namespace

TColor ParseMarkupColor(std::string_view value) {
    if (!value.empty() && value[0] == '#') return RGBColor(HexByte(value, 1), HexByte(value, 3), HexByte(value, 5));
    std::string name = LowerAscii(value);
    for (const NamedColor& named : kNamedColors)
        if (named.Name == name) return named.Color;
    return clBlack;
}

}  // namespace brenvik
