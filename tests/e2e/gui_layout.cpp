#include "gui_layout.h"

#include <cstdlib>
#include <sstream>
#include <stdexcept>

#include "PrefixFiles.h"
#include "WineSession.h"

namespace brenvik::e2e {
namespace {

// The prefix's own wineserver is called like the session's, with the prefix named.
void RunWineServer(const std::filesystem::path& prefix, const std::string& option) {
    std::string command = "WINEPREFIX='" + prefix.string() + "' wineserver " + option;
    if (std::system(command.c_str()) != 0) throw std::runtime_error("wineserver " + option + " failed");
}

Rect ReadRect(std::istream& in) {
    Rect r;
    in >> r.left >> r.top >> r.right >> r.bottom;
    return r;
}

}  // namespace

OwnPrefix::OwnPrefix()
    : path_(WineSession::Get().Scratch("own-prefix")), sessionPrefix_(WineSession::Get().Prefix().string()) {
    std::filesystem::remove_all(path_);
    setenv("WINEPREFIX", path_.c_str(), 1);
    int exitCode = -1;
    RunToEnd("wineboot", {"-i"}, std::chrono::minutes(3), &exitCode);
    RunWineServer(path_, "-w");
    std::filesystem::copy(WineSession::Get().Prefix() / "drive_c/windows/Fonts", path_ / "drive_c/windows/Fonts",
                          std::filesystem::copy_options::recursive | std::filesystem::copy_options::overwrite_existing);
    RunWineServer(path_, "-p");
    // The session's own settings: no crash dialog, unmanaged windows, its fonts and ports.
    int imported = -1;
    RunToEnd("regedit", {"/S", WindowsPath(WineSession::Get().SettingsFile())},
             std::chrono::seconds(30), &imported);
    if (imported != 0) throw std::runtime_error("the session's settings could not be imported");
}

OwnPrefix::~OwnPrefix() {
    RunWineServer(path_, "-k");
    setenv("WINEPREFIX", sessionPrefix_.c_str(), 1);
    std::filesystem::remove_all(path_);
}

void OwnPrefix::SetDpi(int dpi) const {
    char value[16];
    std::snprintf(value, sizeof value, "dword:%08x", dpi);
    WineSession::Get().ImportRegistry(
        std::string("REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Control Panel\\Desktop]\r\n\"LogPixels\"=") + value +
        "\r\n\r\n[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Hardware Profiles\\Current\\Software\\Fonts]\r\n"
        "\"LogPixels\"=" + value + "\r\n\r\n");
}

TextLayout ReadTextLayout() {
    TextLayout layout;
    for (const auto& line : RunDriver({"text-layout"})) {
        std::istringstream in(line);
        std::string kind, name;
        in >> kind;
        if (kind == "dpi") in >> layout.dpi;
        if (kind == "control") {
            in >> name >> layout.parents[name];
            layout.controls[name] = ReadRect(in);
        }
        if (kind == "text") {
            in >> name;
            TextBox& box = layout.texts[name];
            box.room = ReadRect(in);
            in >> box.width >> box.height;
        }
    }
    if (layout.dpi == 0) throw std::runtime_error("the window gave no text layout");
    return layout;
}

}  // namespace brenvik::e2e
