#include "gui_harness.h"

#include <sys/wait.h>

#include <cstdio>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "WineSession.h"

namespace brenvik::e2e {
namespace {

using namespace std::chrono_literals;

// Offsets of the first icon inside Wine's fallback tray window: it sits in
// the window's client area, below the caption, left aligned.
constexpr int kTrayIconLeft = 12;
constexpr int kTrayIconAboveBottom = 13;
constexpr int kTrayIconAside = 5;

std::vector<std::string> Words(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> words;
    for (std::string word; in >> word;) words.push_back(word);
    return words;
}

// The text after the first `count` words of `line`.
std::string AfterWords(const std::string& line, size_t count) {
    size_t at = 0;
    for (size_t i = 0; i < count && at != std::string::npos; ++i) {
        at = line.find(' ', at);
        if (at != std::string::npos) ++at;
    }
    return at == std::string::npos ? std::string() : line.substr(at);
}

Rect ParseRect(const std::vector<std::string>& words, size_t first) {
    if (words.size() < first + 4) throw std::runtime_error("driver gave no rectangle");
    return {std::stoi(words[first]), std::stoi(words[first + 1]), std::stoi(words[first + 2]),
            std::stoi(words[first + 3])};
}

Pixels ParsePixels(const std::vector<std::string>& lines, const std::string& prefix) {
    for (const auto& line : lines) {
        auto words = Words(line);
        if (words.size() == 6 && words[0] == prefix) return {words[1], std::stoi(words[3]), std::stoi(words[5])};
    }
    throw std::runtime_error("driver gave no " + prefix + " reading");
}

// A Linux tool of the session's display (xdotool); its standard output.
std::string RunHost(const std::string& command, int* exitCode = nullptr) {
    FILE* pipe = popen(("timeout 20 " + command + " 2>/dev/null").c_str(), "r");
    if (!pipe) throw std::runtime_error("cannot run " + command);
    std::string output;
    char buffer[256];
    while (size_t n = fread(buffer, 1, sizeof buffer, pipe)) output.append(buffer, n);
    int status = pclose(pipe);
    if (exitCode) *exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return output;
}

std::pair<int, int> TrayIconPoint() {
    std::map<std::string, int> geometry;
    std::istringstream shell(
        RunHost("xdotool search --onlyvisible --name '^Wine System Tray$' getwindowgeometry --shell"));
    for (std::string line; std::getline(shell, line);) {
        auto equals = line.find('=');
        if (equals != std::string::npos) geometry[line.substr(0, equals)] = std::stoi(line.substr(equals + 1));
    }
    if (!geometry.count("HEIGHT")) throw std::runtime_error("Wine's tray window is not shown");
    return {geometry["X"] + kTrayIconLeft, geometry["Y"] + geometry["HEIGHT"] - kTrayIconAboveBottom};
}

void ClickTrayIcon(const std::string& clicks) {
    auto [x, y] = TrayIconPoint();
    // Wine's shell may take a click seconds after the last one, at the same
    // point, for the second half of a double-click: every other click lands
    // beside the last one, outside the double-click rectangle.
    static int clicked = 0;
    x += (clicked++ % 2) * kTrayIconAside;
    int exitCode = -1;
    // Without --sync: it waits for pointer motion, and there is none when the pointer is already there.
    RunHost("xdotool mousemove " + std::to_string(x) + " " + std::to_string(y) + " sleep 0.1 " + clicks, &exitCode);
    if (exitCode != 0) throw std::runtime_error("xdotool could not click the tray icon");
}

}  // namespace

const char kSettingsKey[] = "HKEY_CURRENT_USER\\Software\\Morvane\\FormMain4D643DD6BD8E447C9291EEDF0A10BE65";
const char kRefresh[] = "&Steruj od\u015bwie\u017caniem";
const char kCut[] = "Ucinaj &ko\u0144c\u00f3wki";
const char kIgnore[] = "I&gnoruj niepe\u0142ne";
const char kShowHints[] = "Poka\u017c podpowiedzi";
const char kShowHintsValue[] = "TFormMain4D643DD6BD8E447C9291EEDF0A10BE65.FormMain4D643DD6BD8E447C9291EEDF0A10BE65";

std::vector<std::string> RunDriver(const std::vector<std::string>& command, std::chrono::milliseconds timeout) {
    std::vector<std::string> arguments{"--timeout-ms", std::to_string(timeout.count())};
    arguments.insert(arguments.end(), command.begin(), command.end());
    int exitCode = -1;
    auto lines = RunToEnd(WineSession::Get().Program("brenvik-driver.exe"), arguments, timeout + 10s, &exitCode);
    if (exitCode != 0) throw std::runtime_error("brenvik-driver " + command.front() + " failed");
    return lines;
}

WindowState ReadWindowState(std::chrono::milliseconds settle) {
    WindowState state;
    for (const auto& line : RunDriver({"--settle-ms", std::to_string(settle.count()), "state"}, 10s)) {
        auto words = Words(line);
        if (words.empty()) continue;
        if (words[0] == "visible") state.visible = words.at(1) == "1";
        if (words[0] == "window") state.window = ParseRect(words, 1);
        if (words[0] == "client") {
            state.clientWidth = std::stoi(words.at(1));
            state.clientHeight = std::stoi(words.at(2));
        }
        if (words[0] == "hint-panel") state.hintPanel = ParseRect(words, 1);
        if (words[0] == "hint-text") state.hintText = AfterWords(line, 1);
        if (words[0] == "description") state.description = AfterWords(line, 1);
        if (words[0] == "x11") state.x11Window = std::stoul(words.at(1));
        if (words[0] == "origin") {
            state.clientLeft = std::stoi(words.at(1));
            state.clientTop = std::stoi(words.at(2));
        }
        if (words[0] == "style") {
            state.style = std::stoul(words.at(1), nullptr, 16);
            state.exStyle = std::stoul(words.at(2), nullptr, 16);
        }
        if (words[0] == "shown") state.shown.push_back(words.at(1));
    }
    return state;
}

ControlsState ReadControls() {
    ControlsState controls;
    for (const auto& line : RunDriver({"controls"})) {
        auto words = Words(line);
        if (words.empty()) continue;
        if (words[0] == "check")
            controls.checkBoxes[AfterWords(line, 3)] = {words.at(1) == "1", words.at(2) == "1"};
        if (words[0] == "spin") {
            controls.codeLengthEnabled = words.at(1) == "1";
            controls.codeLength = AfterWords(line, 2);
        }
        if (words[0] == "pick") {
            controls.portListDropped = words.at(2) == "1";
            controls.port = AfterWords(line, 3);
        }
        if (words[0] == "button") controls.buttons[AfterWords(line, 5)] = ParseRect(words, 1);
    }
    return controls;
}

Pixels ReadPixels(int x, int y, int width, int height) {
    return ParsePixels(
        RunDriver({"ink", std::to_string(x), std::to_string(y), std::to_string(width), std::to_string(height)}), "ink");
}

Pixels HoverButton(const std::string& caption) { return ParsePixels(RunDriver({"hover-button", caption}), "hint"); }

Pixels HoverAt(int x, int y) {
    return ParsePixels(RunDriver({"hover", std::to_string(x), std::to_string(y)}), "hint");
}

void ClickButton(const std::string& caption) { RunDriver({"click", caption}); }

void PressKeys(const std::string& keys) {
    // With no window manager the window has the keyboard only when given it
    // (Wine's tray window, shown after it, took it away at the start).
    unsigned long window = ReadWindowState().x11Window;
    int exitCode = -1;
    RunHost("xdotool windowfocus --sync " + std::to_string(window) + (keys.empty() ? "" : " key --delay 60 " + keys),
            &exitCode);
    if (exitCode != 0) throw std::runtime_error("xdotool could not type " + keys);
    std::this_thread::sleep_for(150ms);  // the keys' messages reach the window's queue
}

void ClickAt(int x, int y) {
    WindowState state = ReadWindowState();
    int exitCode = -1;
    RunHost("xdotool mousemove " + std::to_string(state.clientLeft + x) + " " + std::to_string(state.clientTop + y) +
                " sleep 0.1 click 1",
            &exitCode);
    if (exitCode != 0) throw std::runtime_error("xdotool could not click the window");
}

std::vector<std::string> TrayIconTooltips() {
    auto [x, y] = TrayIconPoint();
    int exitCode = -1;
    RunHost("xdotool mousemove " + std::to_string(x) + " " + std::to_string(y) + " sleep 0.3 mousemove " +
                std::to_string(x + 1) + " " + std::to_string(y) + " sleep 1.5",
            &exitCode);
    if (exitCode != 0) throw std::runtime_error("xdotool could not reach the tray icon");
    std::vector<std::string> texts;
    for (const auto& line : RunDriver({"tooltips"})) texts.push_back(AfterWords(line, 1));
    return texts;
}

std::string FocusedControl() { return AfterWords(RunDriver({"focus"}).at(0), 1); }

std::map<std::string, RegistryValue> ReadRegistryKey(const std::string& key) {
    int exitCode = -1;
    auto lines = RunToEnd("reg", {"query", key}, 30s, &exitCode);
    std::map<std::string, RegistryValue> values;
    if (exitCode != 0) return values;  // no key
    for (const auto& line : lines) {
        // "    Name    REG_SZ    data": four spaces between the columns.
        if (line.rfind("    ", 0) != 0) continue;
        std::string rest = line.substr(4);
        auto typeAt = rest.find("    REG_");
        if (typeAt == std::string::npos) continue;
        std::string name = rest.substr(0, typeAt);
        std::string typeAndData = rest.substr(typeAt + 4);
        auto dataAt = typeAndData.find("    ");
        std::string type = typeAndData.substr(0, dataAt);
        std::string data = dataAt == std::string::npos ? std::string() : typeAndData.substr(dataAt + 4);
        values[name] = {type, data};
    }
    return values;
}

std::map<std::string, RegistryValue> ReadSettings() { return ReadRegistryKey(kSettingsKey); }

void ResetSettings(const std::string& regLines) {
    WineSession::Get().ImportRegistry("REGEDIT4\r\n\r\n[-HKEY_CURRENT_USER\\Software\\Morvane]\r\n\r\n"
                                      "[-HKEY_CURRENT_USER\\SOFTWARE\\SaveForms]\r\n\r\n" +
                                      regLines);
}

bool TrayWindowShown() {
    int exitCode = -1;
    RunHost("xdotool search --onlyvisible --name '^Wine System Tray$'", &exitCode);
    return exitCode == 0;
}

void DoubleClickTrayIcon() { ClickTrayIcon("click --repeat 2 --delay 80 1"); }

void RightClickTrayIcon() { ClickTrayIcon("click 3"); }

void ChoosePopupItem(char mnemonic) {
    // Wine's menu takes keys only with the X keyboard focus, which the
    // unmanaged popup does not get by itself.
    auto words = Words(RunDriver({"popup"}).at(0));
    int exitCode = -1;
    RunHost("xdotool windowfocus --sync " + words.at(1) + " key " + std::string(1, mnemonic), &exitCode);
    if (exitCode != 0) throw std::runtime_error("xdotool could not reach the popup menu");
}

}  // namespace brenvik::e2e
