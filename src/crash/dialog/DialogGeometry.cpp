#include "crash/dialog/DialogGeometry.h"

#include <algorithm>

#include "crash/dialog/CrashDialogIds.h"

namespace brenvik {

namespace {

constexpr int kWidestCompactWindow = 640;
constexpr int kNarrowestCompactWindow = 250;
constexpr int kTextHeightWithoutGrowth = 39;

TDialogRect Bounds(int x, int y, int width, int height) { return {x, y, x + width, y + height}; }

}  // namespace

int DialogBottomBand(bool sendBoxVisible, bool attachScreenshot) {
    return sendBoxVisible && attachScreenshot ? 34 : 20;
}

TCompactView LayoutCompactView(const std::vector<int>& lineWidths, int lineHeight, const TDialogMetrics& metrics,
                               int bottomBand) {
    const int margin = 2 * metrics.FrameWidth + 58;
    const int limit = kWidestCompactWindow - margin;
    int widest = 0;
    int lines = static_cast<int>(lineWidths.size());
    bool capped = false;
    for (int width : lineWidths) {
        widest = std::max(widest, width);
        if (width > limit) {
            // A long line wraps in the header: count the lines it takes.
            lines += (width - limit + 16) / limit + 1;
            capped = true;
        }
    }
    const int textWidth = capped ? limit : widest + 16;
    const int textHeight = lines * lineHeight;

    TCompactView view;
    const int width = std::max(textWidth + margin, kNarrowestCompactWindow);
    view.HeaderWidth = width - margin;
    view.HeaderHeight = textHeight;
    const int height =
        std::max(textHeight - kTextHeightWithoutGrowth, 0) + 2 * metrics.FrameHeight + metrics.SmallCaptionHeight + 86;
    const int left = (metrics.ScreenWidth - width) / 2;
    const int top = (metrics.ScreenHeight - height) / 2;
    view.Window = {left, top, left + width, top + height + bottomBand};
    return view;
}

TDetailsGeometry ClampToScreen(TDetailsGeometry geometry, const TDialogMetrics& metrics, int bottomBand) {
    if (geometry.Top + geometry.Height > metrics.ScreenHeight)
        geometry.Top = metrics.ScreenHeight - geometry.Height - bottomBand;
    if (geometry.Left + geometry.Width > metrics.ScreenWidth) geometry.Left = metrics.ScreenWidth - geometry.Width;
    geometry.Top = std::max(geometry.Top, 0);
    geometry.Left = std::max(geometry.Left, 0);
    return geometry;
}

std::vector<TControlPlace> LayoutControls(int w, int h, int bottomBand, bool details) {
    const int y = h - bottomBand - 32;
    const int half = w / 2 - 4;
    std::vector<TControlPlace> places = {
        {IDC_CRASH_TABS, Bounds(4, 52, w - 8, h - 90 - bottomBand)},
        {IDC_CRASH_OK, Bounds((w - 75) / 2, y, 75, 25)},
        {IDC_CRASH_TERMINATE, Bounds(5, y, 75, 25)},
        {IDC_CRASH_DETAILS, Bounds(w - 80, y, 75, 25)},
        {IDC_CRASH_SEND, Bounds(4, y + 34, half, 13)},
        {IDC_CRASH_COPY, Bounds(w - half - 4, y + 34, half, 13)},
        {IDC_CRASH_SCREENSHOT, Bounds(23, y + 50, w - 23, 13)},
    };
    if (details) places.push_back({IDC_CRASH_HEADER, Bounds(48, 8, w - 56, 42)});
    return places;
}

}  // namespace brenvik
