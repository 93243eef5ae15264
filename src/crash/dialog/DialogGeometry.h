#pragma once
#include <array>
#include <vector>

namespace brenvik {

// Window-system measures the exception dialog's geometry depends on.
struct TDialogMetrics {
    int FrameWidth = 0;  // fixed (dialog) frame
    int FrameHeight = 0;
    int SmallCaptionHeight = 0;
    int ScreenWidth = 0;
    int ScreenHeight = 0;
};

struct TDialogRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
};

// Space below the buttons for the check boxes.
int DialogBottomBand(bool sendBoxVisible, bool attachScreenshot);

// The compact view: a message-box-sized window around the error message.
struct TCompactView {
    TDialogRect Window;  // outer rectangle, bottom band included
    int HeaderWidth = 0;
    int HeaderHeight = 0;
};

// lineWidths: pixel widths of the message's lines and of the check-box line
// measured with the message font.
TCompactView LayoutCompactView(const std::vector<int>& lineWidths, int lineHeight, const TDialogMetrics& metrics,
                               int bottomBand);

// Position and size of the details view as kept in the position file; the
// height leaves out the bottom band.
struct TDetailsGeometry {
    int Left = 0, Top = 0, Width = 0, Height = 0;
    int WindowState = 1;  // show command: 1 normal, 3 maximised, 6 minimised
};

// Pulls a saved position back onto the screen; top and left never negative.
TDetailsGeometry ClampToScreen(TDetailsGeometry geometry, const TDialogMetrics& metrics, int bottomBand);

// Where one control goes on a resize.
struct TControlPlace {
    int Id = 0;
    TDialogRect Bounds;
};

// The controls placed on every resize of a client area w x h; the header
// only in the details view.
std::vector<TControlPlace> LayoutControls(int clientWidth, int clientHeight, int bottomBand, bool details);

}  // namespace brenvik
