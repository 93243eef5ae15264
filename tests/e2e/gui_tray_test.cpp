// The tray icon of a real Brenvik process, clicked with xdotool in Wine's
// fallback tray window: the clicks reach the icon's callback as the shell's would.
#include <gtest/gtest.h>

#include <fstream>
#include <thread>

#include "ImportRun.h"
#include "PtyPeer.h"
#include "PrefixFiles.h"
#include "WineSession.h"
#include "gui_harness.h"

namespace brenvik::e2e {
namespace {

using namespace std::chrono_literals;

const char kPortName[] = "Kolektor danych (COM1)";

std::vector<std::string> FileLines(const std::filesystem::path& path) {
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

TEST(GuiTray, DoubleClickShowsTheWindowAndAgainChangesNothing) {
    ResetSettings();
    WineProcess brenvik(WineSession::Get().Program("Brenvik.exe"), {"/tray"});
    ASSERT_FALSE(ReadWindowState(1s).visible);
    ASSERT_TRUE(TrayWindowShown());

    DoubleClickTrayIcon();
    WindowState shown = ReadWindowState(10s);
    EXPECT_TRUE(shown.visible);
    DoubleClickTrayIcon();
    WindowState again = ReadWindowState(1s);
    EXPECT_TRUE(again.visible);
    EXPECT_EQ(again.window.top, shown.window.top);
    EXPECT_EQ(again.window.Height(), shown.window.Height());

    RunDriver({"close"});
    EXPECT_EQ(brenvik.Wait(20s), 0);
}

TEST(GuiTray, TheIconNamesTheProgramItsMenuOpensTheWindowAndThePictureShowsTheAboutBox) {
    ResetSettings();
    WineProcess brenvik(WineSession::Get().Program("Brenvik.exe"), {"/tray"});
    ASSERT_FALSE(ReadWindowState(1s).visible);
    auto tooltips = TrayIconTooltips();
    EXPECT_NE(std::find(tooltips.begin(), tooltips.end(), "Brenvik"), tooltips.end());

    RightClickTrayIcon();
    ChoosePopupItem('o');  // "&Otwórz"
    ASSERT_TRUE(ReadWindowState(10s).visible);

    ClickAt(378, 32);  // the program's picture in the title band
    auto about = RunDriver({"dialog", "1"});
    EXPECT_NE(about.at(0).find("Brenvik"), std::string::npos) << about.at(0);
    EXPECT_NE(std::find(about.begin(), about.end(), "text Morvane: program do importu kod\u00f3w z kolektora danych."),
              about.end());
    RunDriver({"close"});
    EXPECT_EQ(brenvik.Wait(20s), 0);
}

TEST(GuiTray, PopupMenuImportsAndItsCloseEndsTheProgramWithTheSettingsWritten) {
    WineSession& session = WineSession::Get();
    ResetSettings(PortListRegistry({1}) + "[" + kSettingsKey + "]\r\n\"ComPort\"=\"" + kPortName +
                  "\"\r\n\"Refresh\"=\"0\"\r\n\"Cut\"=\"0\"\r\n\"Ignore\"=\"0\"\r\n\r\n");
    std::filesystem::remove(session.PortLink(1));
    PtyPeer collector(ParseCollectorScenario("code 5901234123457\ncode 4006381333931\n"),
                      session.PortLink(1).string());
    auto codesFile = session.Scratch("gui-codes.txt"), readyFile = session.Scratch("gui-target-ready");
    std::filesystem::remove(codesFile);
    std::filesystem::remove(readyFile);
    WineProcess target(session.Program("veltra-sim.exe"),
                       {"--out", WindowsPath(codesFile), "--ready", WindowsPath(readyFile)});
    for (int i = 0; i < 600 && !std::filesystem::exists(readyFile); ++i) std::this_thread::sleep_for(50ms);
    ASSERT_TRUE(std::filesystem::exists(readyFile));

    WineProcess brenvik(session.Program("Brenvik.exe"), {"/tray"});
    ASSERT_FALSE(ReadWindowState(1s).visible);
    RightClickTrayIcon();
    ChoosePopupItem('i');  // "&Importuj kody"
    auto lines = RunDriver({"follow-import"}, 60s);
    EXPECT_EQ(lines, (std::vector<std::string>{"caption Information", "icon information",
                                               "message: " + SummaryText(2, 0), "done"}));

    RightClickTrayIcon();
    ChoosePopupItem('z');  // "&Zamknij"
    EXPECT_EQ(brenvik.Wait(20s), 0);
    auto saved = ReadSettings();
    EXPECT_EQ(saved["ComPort"], (RegistryValue{"REG_SZ", kPortName}));
    EXPECT_EQ(saved["Cut"], (RegistryValue{"REG_SZ", "0"}));
    EXPECT_EQ(saved["CodeLen"], (RegistryValue{"REG_DWORD", "0xa"}));

    RunDriver({"close-class", "TMain865D2C3C09434DF4AFA2EDF18B0423EA"});
    target.Wait(20s);
    EXPECT_EQ(FileLines(codesFile), (std::vector<std::string>{"5901234123457", "4006381333931"}));
    collector.Stop();
}

}  // namespace
}  // namespace brenvik::e2e
