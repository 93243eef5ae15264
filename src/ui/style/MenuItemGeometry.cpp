#include "ui/style/MenuItemGeometry.h"

#include <algorithm>

#include "ui/style/StyleColors.h"

namespace brenvik {
namespace {

bool IsBlank(const std::string& text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c == ' ' || c == '\t'; });
}

constexpr int kImageTop = 4;
constexpr int kSeparatorIndent = 7;
constexpr int kCaptionIndent = 5;
constexpr int kTextPadding = 10;
constexpr int kImagePadding = 6;

}  // namespace

void MeasureMenuItem(Canvas& canvas, const MenuItemText& item, TSize imageSize, int iconWidth, int& width,
                     int& height) {
    std::string text;
    if (!item.IsSeparator()) {
        text = item.Caption;
        // The letters only reserve room between the caption and the shortcut.
        if (!IsBlank(item.ShortCut)) text += item.ShortCut + "WWW";
    }
    TSize extent = canvas.TextExtent(text);
    int imageWidth = std::max(imageSize.Width, iconWidth);
    int measured = extent.Width + imageWidth + kTextPadding;
    if (text.find('&') != std::string::npos) measured -= canvas.TextExtent("&").Width;
    width = std::max(width, measured);
    if (item.IsSeparator()) {
        height = kMenuSeparatorHeight;
        return;
    }
    int textHeight = extent.Height > 0 ? extent.Height : canvas.TextExtent("W").Height;
    int measuredHeight = std::max(textHeight + RoundHalfEven(3 * textHeight, 4), imageSize.Height + kImagePadding);
    height = std::max(height, measuredHeight);
}

MenuItemLayout LayOutMenuItem(const TRect& rect, int iconWidth, TSize imageSize) {
    MenuItemLayout layout{};
    layout.IconColumn = {rect.Left, rect.Top, rect.Left + iconWidth, rect.Bottom};
    int x = imageSize.Width > iconWidth ? rect.Left + 2 : rect.Left + (iconWidth - imageSize.Width) / 2 - 1;
    int y = rect.Top + kImageTop;
    layout.Image = {x, y};
    layout.LiftedImage = {x - 1, y - 1};
    layout.Shadow = {x + 1, y + 1};
    layout.TextLeft = rect.Left + iconWidth;
    layout.SeparatorLeft = layout.TextLeft + kSeparatorIndent;
    layout.SeparatorY = rect.Top + RoundHalfEven(rect.Height(), 2);
    return layout;
}

TRect MenuCaptionRect(Canvas& canvas, const MenuItemLayout& layout, const TRect& rect) {
    int top = rect.Top + (rect.Height() - canvas.TextExtent("W").Height) / 2;
    return {layout.TextLeft + kCaptionIndent, top, rect.Right, rect.Bottom};
}

}  // namespace brenvik
