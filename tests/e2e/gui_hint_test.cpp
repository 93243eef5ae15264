// The hint panel of a real Brenvik window under the mouse, read as pixels:
// each hint draws a picture of its own, so equal pictures mean equal texts.
#include <gtest/gtest.h>

#include "WineSession.h"
#include "gui_harness.h"

namespace brenvik::e2e {
namespace {

using namespace std::chrono_literals;

// Client coordinates: "Port COM:" (a label without a hint, on a panel without one)
// and the text and arrow parts of the code-length spin edit.
constexpr int kPortLabel[] = {40, 92};
constexpr int kCodeLengthText[] = {128, 190};
constexpr int kCodeLengthArrows[] = {151, 190};
constexpr int kHintPanelHeightChange = 34;

class GuiHints : public ::testing::Test {
protected:
    void SetUp() override {
        ResetSettings(std::string("[HKEY_CURRENT_USER\\SOFTWARE\\SaveForms]\r\n\"") + kShowHintsValue +
                      "\"=\"1\"\r\n\r\n");
        brenvik_ = std::make_unique<WineProcess>(WineSession::Get().Program("Brenvik.exe"),
                                                 std::vector<std::string>{});
        shown_ = ReadWindowState(10s);
        ASSERT_TRUE(shown_.visible);
        ASSERT_TRUE(shown_.hintPanel) << "the stored choice shows the hint panel";
    }
    void TearDown() override {
        RunDriver({"close"});
        EXPECT_EQ(brenvik_->Wait(20s), 0);
    }
    std::unique_ptr<WineProcess> brenvik_;
    WindowState shown_;
};

TEST_F(GuiHints, PanelSitsBetweenTheOptionsAndTheButtonBar) {
    ControlsState controls = ReadControls();
    EXPECT_EQ(shown_.clientHeight, 300);
    EXPECT_LE(shown_.hintPanel->bottom, controls.buttons.at("&Importuj").top);
}

TEST_F(GuiHints, PanelShowsTheHintOfTheControlUnderTheMouse) {
    Pixels idle = HoverAt(kPortLabel[0], kPortLabel[1]);
    EXPECT_EQ(ReadWindowState().hintText, "Przesu\u0144 mysz na obiekt aby otrzyma\u0107 podpowied\u017a.");
    Pixels import = HoverButton("&Importuj");   // a hint without a bar is shown whole
    EXPECT_EQ(ReadWindowState().hintText, "Przycisk Importuj powoduje wys\u0142anie kod\u00f3w do systemu Veltra II.");
    Pixels close = HoverButton("&Zamknij");
    Pixels codeLength = HoverAt(kCodeLengthText[0], kCodeLengthText[1]);
    EXPECT_NE(import.hash, idle.hash);
    EXPECT_GT(import.dark, idle.dark) << "the import hint is longer than the default text";
    EXPECT_NE(close.hash, import.hash);
    EXPECT_NE(codeLength.hash, idle.hash);
    EXPECT_EQ(HoverAt(kPortLabel[0], kPortLabel[1]).hash, idle.hash) << "back to the default text";
    // The arrows are part of the spin edit: the same hint.
    EXPECT_EQ(HoverAt(kCodeLengthArrows[0], kCodeLengthArrows[1]).hash, codeLength.hash);
}

TEST_F(GuiHints, ShowHintsCheckBoxChangesTheHeightBy34PixelsAndBack) {
    ClickButton(kShowHints);
    WindowState hidden = ReadWindowState();
    EXPECT_FALSE(hidden.hintPanel);
    EXPECT_EQ(hidden.window.Height(), shown_.window.Height() - kHintPanelHeightChange);
    EXPECT_EQ(hidden.clientHeight, shown_.clientHeight - kHintPanelHeightChange);

    ClickButton(kShowHints);
    WindowState again = ReadWindowState();
    EXPECT_TRUE(again.hintPanel);
    EXPECT_EQ(again.window.Height(), shown_.window.Height());
    EXPECT_EQ(again.clientHeight, shown_.clientHeight);
}

}  // namespace
}  // namespace brenvik::e2e
