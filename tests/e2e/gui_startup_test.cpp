// Start-up of a real Brenvik process: which command lines keep it in the tray,
// and a setting it cannot read.
#include <gtest/gtest.h>

#include <fstream>

#include "WineSession.h"
#include "gui_harness.h"

namespace brenvik::e2e {
namespace {

using namespace std::chrono_literals;

std::string Joined(const std::vector<std::string>& words) {
    std::string text;
    for (const auto& word : words) text += (text.empty() ? "" : " ") + word;
    return text;
}

TEST(GuiStartup, OnlySlashTrayInAnyCaseStartsHiddenInTheTray) {
    ResetSettings();
    struct Variant {
        std::vector<std::string> arguments;
        bool hidden;
    };
    const Variant variants[] = {{{"/tray"}, true},  {{"/TRAY"}, true},  {{"/Tray"}, true},
                                {{"-tray"}, false}, {{"tray"}, false},  {{"/tray2"}, false},
                                {{"//tray"}, false}, {{"x", "/tRaY", "y"}, true}};
    for (const Variant& variant : variants) {
        SCOPED_TRACE(Joined(variant.arguments));
        WineProcess brenvik(WineSession::Get().Program("Brenvik.exe"), variant.arguments);
        // A window about to be shown gets the time it needs; a hidden one, enough to show up wrongly.
        WindowState state = ReadWindowState(variant.hidden ? 1500ms : 10s);
        EXPECT_EQ(state.visible, !variant.hidden);
        if (variant.hidden) {
            EXPECT_TRUE(state.shown.empty()) << "visible: " << Joined(state.shown);
            EXPECT_TRUE(TrayWindowShown()) << "the tray icon is the way back to the window";
        } else {
            EXPECT_EQ(state.shown, std::vector<std::string>{"TFormMain4D643DD6BD8E447C9291EEDF0A10BE65"});
        }
        RunDriver({"close"});
        EXPECT_EQ(brenvik.Wait(20s), 0);
    }
}

TEST(GuiStartup, AWronglyTypedSettingIsReportedOnceAndTheWindowComesUpWithTheOthers) {
    // "CodeLen" as binary data: loading stops there, Ignore keeps the design's state.
    ResetSettings(std::string("[") + kSettingsKey + "]\r\n\"ComPort\"=\"Kolektor\"\r\n\"Refresh\"=\"0\"\r\n"
                  "\"Cut\"=\"0\"\r\n\"CodeLen\"=hex:01,02\r\n\"Ignore\"=\"1\"\r\n\r\n");
    // A copy of its own keeps the crash log beside it, in the session.
    auto folder = WineSession::Get().Scratch("wrong-type");
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    std::filesystem::copy_file(WineSession::Get().Program("Brenvik.exe"), folder / "Brenvik.exe");
    WineProcess brenvik(folder / "Brenvik.exe", {});

    auto report = RunDriver({"dialog", "2"}, 30s);  // the crash report's OK
    EXPECT_EQ(report.at(0), "caption Error.");
    EXPECT_NE(std::find(report.begin(), report.end(), "text Invalid data type for 'CodeLen'."), report.end());
    ASSERT_TRUE(ReadWindowState(10s).visible);
    ControlsState controls = ReadControls();
    EXPECT_EQ(controls.port, "Kolektor");
    EXPECT_FALSE(controls.checkBoxes[kRefresh].checked);
    EXPECT_FALSE(controls.checkBoxes[kCut].checked);
    EXPECT_EQ(controls.codeLength, "10");
    EXPECT_FALSE(controls.checkBoxes[kIgnore].checked);
    RunDriver({"close"});
    EXPECT_EQ(brenvik.Wait(20s), 0);

    std::ifstream log(folder / "Brenvik.clog");
    int reports = 0;
    for (std::string line; std::getline(log, line);)
        reports += line.find("Message: Invalid data type for 'CodeLen'.") != std::string::npos;
    EXPECT_EQ(reports, 1);
}

}  // namespace
}  // namespace brenvik::e2e
