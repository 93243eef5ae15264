// The main window's settings as a real Brenvik process loads and saves them:
// read back through the window's controls and the registry of the session.
#include <gtest/gtest.h>

#include "WineSession.h"
#include "gui_harness.h"

namespace brenvik::e2e {
namespace {

using namespace std::chrono_literals;

// "Długość kodu:" is drawn by the window itself: read as pixels, in client coordinates.
constexpr int kCodeLengthLabel[] = {28, 183, 71, 13};

Pixels CodeLengthLabel() {
    return ReadPixels(kCodeLengthLabel[0], kCodeLengthLabel[1], kCodeLengthLabel[2], kCodeLengthLabel[3]);
}

void CloseAndExpectCleanEnd(WineProcess& brenvik) {
    RunDriver({"close"});
    EXPECT_EQ(brenvik.Wait(20s), 0);
}

TEST(GuiSettings, FirstStartShowsTheDefaultsAndOnlyTheEndWritesThem) {
    ResetSettings();
    WineProcess brenvik(WineSession::Get().Program("Brenvik.exe"), {});
    WindowState state = ReadWindowState(10s);
    ASSERT_TRUE(state.visible);
    EXPECT_FALSE(state.hintPanel) << "no stored choice: the hint panel starts hidden";
    EXPECT_EQ(state.description,
              "Wska\u017c miejsce w kt\u00f3rym maj\u0105 by\u0107 wprowadzone dane, plik utworzony przez kolektor, a "
              "nast\u0119pnie wybierz Importuj. Pami\u0119taj, \u017ce podczas importu musi by\u0107 uruchomiony "
              "system Veltra II.");

    ControlsState controls = ReadControls();
    EXPECT_EQ(controls.port, "");
    for (const char* option : {kRefresh, kCut, kIgnore}) {
        EXPECT_TRUE(controls.checkBoxes[option].checked) << option;
        EXPECT_TRUE(controls.checkBoxes[option].enabled) << option;
    }
    EXPECT_FALSE(controls.checkBoxes[kShowHints].checked);
    EXPECT_EQ(controls.codeLength, "10");
    EXPECT_TRUE(controls.codeLengthEnabled);
    EXPECT_GT(CodeLengthLabel().dark, 0) << "the enabled label is drawn in the text colour";

    ClickButton("&Zamknij");
    EXPECT_FALSE(ReadWindowState().visible);
    EXPECT_TRUE(ReadSettings().empty()) << "hiding must not write the settings";

    CloseAndExpectCleanEnd(brenvik);
    std::map<std::string, RegistryValue> expected = {{"ComPort", {"REG_SZ", ""}},
                                                     {"Refresh", {"REG_SZ", "1"}},
                                                     {"Cut", {"REG_SZ", "1"}},
                                                     {"CodeLen", {"REG_DWORD", "0xa"}},
                                                     {"Ignore", {"REG_SZ", "1"}}};
    EXPECT_EQ(ReadSettings(), expected);
}

TEST(GuiSettings, CodeLengthStoredAsTextStaysTextAndCutOffDisablesIt) {
    struct Case {
        const char* stored;
        const char* loaded;
    };
    for (const Case& c : {Case{"12", "12"}, Case{"abc", "10"}}) {
        SCOPED_TRACE(c.stored);
        ResetSettings(std::string("[") + kSettingsKey + "]\r\n\"Cut\"=\"0\"\r\n\"CodeLen\"=\"" + c.stored +
                      "\"\r\n\r\n");
        WineProcess brenvik(WineSession::Get().Program("Brenvik.exe"), {});
        ASSERT_TRUE(ReadWindowState(10s).visible);
        ControlsState controls = ReadControls();
        EXPECT_FALSE(controls.checkBoxes[kCut].checked);
        EXPECT_TRUE(controls.checkBoxes[kIgnore].checked);
        EXPECT_EQ(controls.codeLength, c.loaded);
        EXPECT_FALSE(controls.codeLengthEnabled);
        Pixels label = CodeLengthLabel();
        EXPECT_EQ(label.dark, 0) << "the disabled label is drawn grey";
        EXPECT_GT(label.grey, 0);

        CloseAndExpectCleanEnd(brenvik);
        auto saved = ReadSettings();
        EXPECT_EQ(saved["CodeLen"], (RegistryValue{"REG_SZ", c.loaded}));
        EXPECT_EQ(saved["Cut"], (RegistryValue{"REG_SZ", "0"}));
    }
}

}  // namespace
}  // namespace brenvik::e2e
