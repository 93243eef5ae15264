// The keyboard of a real Brenvik window: xdotool's key strokes into the Wine
// window, and after each the control the focus is on, as the driver reads it.
#include <gtest/gtest.h>

#include "ImportRun.h"
#include "WineSession.h"
#include "gui_harness.h"

namespace brenvik::e2e {
namespace {

using namespace std::chrono_literals;

class GuiKeyboard : public ::testing::Test {
protected:
    void SetUp() override {
        ResetSettings();
        brenvik_ = std::make_unique<WineProcess>(WineSession::Get().Program("Brenvik.exe"),
                                                 std::vector<std::string>{});
        ASSERT_TRUE(ReadWindowState(10s).visible);
    }
    void TearDown() override {
        RunDriver({"close"});
        EXPECT_EQ(brenvik_->Wait(20s), 0);
    }
    std::unique_ptr<WineProcess> brenvik_;
};

TEST_F(GuiKeyboard, TabAndShiftTabWalkTheButtonBarAndTheOptionsInTheirDesignedOrder) {
    // The button bar comes before the options panel among the window's panels.
    const std::vector<std::string> order = {std::string("check ") + kShowHints, "button &Pomoc", "button &Importuj",
                                            "button &Zamknij", std::string("check ") + kRefresh,
                                            std::string("check ") + kCut, "spin 10",
                                            std::string("check ") + kIgnore, "pick "};
    PressKeys("");
    EXPECT_EQ(FocusedControl(), order[0]) << "the window gives the first control the focus";
    for (size_t step = 1; step <= order.size(); ++step) {
        PressKeys("Tab");
        EXPECT_EQ(FocusedControl(), order[step % order.size()]) << "Tab " << step;
    }
    for (size_t step = order.size(); step-- > 0;) {
        PressKeys("shift+Tab");
        EXPECT_EQ(FocusedControl(), order[step]) << "Shift+Tab to " << step;
    }
}

TEST_F(GuiKeyboard, AcceleratorsSpaceArrowsAndTheDropDownActOnTheControls) {
    PressKeys("alt+d");  // "&Długość kodu:", a label, hands the focus to its control
    EXPECT_EQ(FocusedControl(), "spin 10");
    PressKeys("Up Up Down");
    EXPECT_EQ(ReadControls().codeLength, "11");

    PressKeys("alt+s");
    EXPECT_EQ(FocusedControl(), std::string("check ") + kRefresh);
    EXPECT_FALSE(ReadControls().checkBoxes[kRefresh].checked);
    PressKeys("space");
    EXPECT_TRUE(ReadControls().checkBoxes[kRefresh].checked);

    PressKeys("alt+k");  // Cut off: the code length and its label give up the keyboard
    ControlsState cutOff = ReadControls();
    EXPECT_FALSE(cutOff.checkBoxes[kCut].checked);
    EXPECT_FALSE(cutOff.codeLengthEnabled);
    PressKeys("alt+d");
    EXPECT_EQ(FocusedControl(), std::string("check ") + kCut);
    PressKeys("alt+k alt+g");
    ControlsState again = ReadControls();
    EXPECT_TRUE(again.codeLengthEnabled);
    EXPECT_FALSE(again.checkBoxes[kIgnore].checked);
    EXPECT_EQ(FocusedControl(), std::string("check ") + kIgnore);

    PressKeys("Tab alt+Down");
    EXPECT_EQ(FocusedControl(), "pick ");
    EXPECT_TRUE(ReadControls().portListDropped);
    PressKeys("alt+Up");
    EXPECT_FALSE(ReadControls().portListDropped);

    // "&Importuj" runs the import: no Veltra II runs, so it only says so.
    PressKeys("alt+i");
    EXPECT_EQ(RunDriver({"follow-import"}, 30s),
              (std::vector<std::string>{"caption Information", "icon information",
                                        std::string("message: ") + kTargetMissingText, "done"}));
    PressKeys("");  // back from the box, the keyboard goes where it was
    EXPECT_EQ(FocusedControl(), "pick ");

    PressKeys("alt+z");  // "&Zamknij" hides the window; shown again, the focus is where it was
    EXPECT_FALSE(ReadWindowState().visible);
    DoubleClickTrayIcon();  // Wine's tray window keeps the keyboard it was clicked with
    ASSERT_TRUE(ReadWindowState(10s).visible);
    PressKeys("");
    EXPECT_EQ(FocusedControl(), "pick ");
}

}  // namespace
}  // namespace brenvik::e2e
