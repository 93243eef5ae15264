// Start-up of a real Brenvik process: which command lines keep it in the tray.
#include <gtest/gtest.h>

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

}  // namespace
}  // namespace brenvik::e2e
