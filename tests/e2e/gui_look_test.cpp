// The main window at 96, 120 and 144 pixels per inch, in a prefix of the
// test's own: the design scales with the screen, every text fits the control
// that shows it (as the window itself measures them), nothing overlaps, and
// the frame is a fixed dialog border.
#include <gtest/gtest.h>

#include "WineSession.h"
#include "gui_layout.h"

namespace brenvik::e2e {
namespace {

using namespace std::chrono_literals;

// Window styles, as winuser.h has them.
constexpr unsigned long kMinimizeBox = 0x00020000, kMaximizeBox = 0x00010000, kThickFrame = 0x00040000;
constexpr unsigned long kDialogModalFrame = 0x00000001;

int Scaled(int designPixels, int dpi) { return (designPixels * dpi + 48) / 96; }

bool Overlap(const Rect& a, const Rect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

bool Inside(const Rect& inner, const Rect& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

void ExpectFits(const std::string& name, const TextBox& box) {
    EXPECT_LE(box.width, box.room.right - box.room.left) << name << " is cut at the side";
    EXPECT_LE(box.height, box.room.bottom - box.room.top) << name << " is cut at the bottom";
}

void ExpectTextsFit(const TextLayout& layout) {
    // The title band's description, the labels, the check boxes, the buttons, the edits.
    for (const char* name : {"lbEditDescription", "Label1", "Label2", "deRefresh", "deCut", "deIgnore",
                             "cbShowHints", "BtnHelp", "BtnClose", "BtnCancel", "deCodeLen", "edtComPort", "lbHint"})
        EXPECT_TRUE(layout.texts.count(name)) << name << " reports no text";
    for (const auto& [name, box] : layout.texts) {
        ExpectFits(name, box);
        const Rect& bounds = layout.controls.at(name);
        EXPECT_TRUE(Inside(box.room, bounds)) << name << "'s text room leaves the control";
        const std::string& parent = layout.parents.at(name);
        if (parent != "-") EXPECT_TRUE(Inside(bounds, layout.controls.at(parent))) << name << " leaves " << parent;
    }
    // Controls with text never cover one another.
    for (const auto& [name, box] : layout.texts)
        for (const auto& [other, otherBox] : layout.texts)
            if (name < other && layout.parents.at(name) == layout.parents.at(other))
                EXPECT_FALSE(Overlap(layout.controls.at(name), layout.controls.at(other))) << name << " and " << other;
}

TEST(GuiLook, TheDesignScalesAndEveryTextFitsAt96_120And144Dpi) {
    OwnPrefix prefix;
    for (int dpi : {96, 120, 144}) {
        SCOPED_TRACE(std::to_string(dpi) + " dpi");
        prefix.SetDpi(dpi);
        ResetSettings(std::string("[HKEY_CURRENT_USER\\SOFTWARE\\SaveForms]\r\n\"") + kShowHintsValue +
                      "\"=\"1\"\r\n\r\n[" + kSettingsKey + "]\r\n\"ComPort\"=\"Kolektor danych (COM1)\"\r\n\r\n");
        WineProcess brenvik(WineSession::Get().Program("Brenvik.exe"), {});
        WindowState state = ReadWindowState(10s);
        ASSERT_TRUE(state.visible);
        TextLayout layout = ReadTextLayout();
        EXPECT_EQ(layout.dpi, dpi) << "the prefix's LogPixels did not reach the program";
        EXPECT_EQ(state.clientWidth, Scaled(409, dpi));
        EXPECT_EQ(state.clientHeight, Scaled(300, dpi));
        EXPECT_EQ(layout.controls.at("FlatPanel1").left, Scaled(4, dpi));
        EXPECT_EQ(layout.controls.at("FlatPanel1").right, Scaled(404, dpi));
        ExpectTextsFit(layout);
        // The longest hints in the hint panel: the Ignore option's and the Help button's.
        for (const char* control : {"deIgnore", "BtnHelp"}) {
            SCOPED_TRACE(std::string("hint of ") + control);
            const Rect& r = layout.controls.at(control);
            HoverAt((r.left + r.right) / 2, (r.top + r.bottom) / 2);
            ExpectFits("lbHint", ReadTextLayout().texts.at("lbHint"));
        }

        EXPECT_EQ(state.style & (kMinimizeBox | kMaximizeBox | kThickFrame), 0u) << std::hex << state.style;
        EXPECT_NE(state.exStyle & kDialogModalFrame, 0u) << std::hex << state.exStyle;
        RunDriver({"close"});
        EXPECT_EQ(brenvik.Wait(20s), 0);
    }
}

}  // namespace
}  // namespace brenvik::e2e
