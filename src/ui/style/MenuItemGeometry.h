#pragma once
#include <string>

#include "ui/canvas/Canvas.h"

namespace brenvik {

// What the flat menu painter needs to know of an item to measure it.
struct MenuItemText {
    std::string Caption;
    std::string ShortCut;  // the shortcut's text; blank: none
    bool IsSeparator() const { return Caption == "-"; }
};

constexpr int kMenuSeparatorHeight = 4;

// Width and height of an item with the canvas's current font and an image
// of imageSize (at least iconWidth wide); each only grows what was proposed.
void MeasureMenuItem(Canvas& canvas, const MenuItemText& item, TSize imageSize, int iconWidth, int& width,
                     int& height);

// Where the parts of an item go within its rectangle (bottom already
// extended by one pixel).
struct MenuItemLayout {
    TRect IconColumn;
    TPoint Image;        // an image at rest
    TPoint LiftedImage;  // an image under the mouse
    TPoint Shadow;       // its shadow
    int SeparatorLeft, SeparatorY;
    int TextLeft;
};
MenuItemLayout LayOutMenuItem(const TRect& rect, int iconWidth, TSize imageSize);

// The caption drawn with one leading space, vertically centred on the
// height of "W" within the item.
TRect MenuCaptionRect(Canvas& canvas, const MenuItemLayout& layout, const TRect& rect);

}  // namespace brenvik
