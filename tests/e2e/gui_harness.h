#pragma once
// Brenvik's window as the user sees it, from outside the process: the UI
// driver's readings, the settings in the registry, and the mouse on Wine's
// tray window through xdotool.
#include <chrono>
#include <map>
#include <ostream>
#include <optional>
#include <string>
#include <vector>

namespace brenvik::e2e {

struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Height() const { return bottom - top; }
};

struct WindowState {
    bool visible = false;
    Rect window;                       // screen coordinates, frame included
    int clientWidth = 0, clientHeight = 0;
    unsigned long style = 0, exStyle = 0;  // the window's GWL_STYLE and GWL_EXSTYLE
    std::optional<Rect> hintPanel;     // client coordinates, while shown
    std::string hintText;              // the hint panel's text without its markup, while shown
    std::string description;           // the title band's text
    std::vector<std::string> shown;    // classes of the process's visible top-level windows
    unsigned long x11Window = 0;
    int clientLeft = 0, clientTop = 0;  // the client area's origin on the screen
};

struct CheckBoxState {
    bool checked = false, enabled = false;
};

struct ControlsState {
    std::map<std::string, CheckBoxState> checkBoxes;  // by caption, UTF-8
    std::string codeLength;
    bool codeLengthEnabled = false;
    std::string port;
    bool portListDropped = false;
    std::map<std::string, Rect> buttons;               // by caption, client coordinates
};

// What a rectangle of the screen shows: equal hashes mean equal pictures.
struct Pixels {
    std::string hash;
    int dark = 0, grey = 0;
};

struct RegistryValue {
    std::string type, data;
    bool operator==(const RegistryValue&) const = default;
};
inline void PrintTo(const RegistryValue& value, std::ostream* out) { *out << value.type << " " << value.data; }

// Output lines of one brenvik-driver command; throws when it fails.
std::vector<std::string> RunDriver(const std::vector<std::string>& command,
                                   std::chrono::milliseconds timeout = std::chrono::seconds(20));
// `settle`: how long to give a window that is about to be shown.
WindowState ReadWindowState(std::chrono::milliseconds settle = std::chrono::milliseconds(0));
ControlsState ReadControls();
Pixels ReadPixels(int x, int y, int width, int height);
// Moves the mouse and returns the settled picture of the hint panel.
Pixels HoverButton(const std::string& caption);
Pixels HoverAt(int x, int y);
void ClickButton(const std::string& caption);
// Real key strokes (xdotool's names: "Tab", "shift+Tab", "alt+d", "space") into the main
// window, after giving it the keyboard; no keys: only that.
void PressKeys(const std::string& keys);
// A real click at client coordinates of the main window.
void ClickAt(int x, int y);
// The texts of the tooltips on the screen after the mouse rested on the tray icon.
std::vector<std::string> TrayIconTooltips();
// The control with the keyboard focus: its kind ("check", "button", "spin", "pick") and text.
std::string FocusedControl();

// Values of a registry key by name; empty when the key does not exist.
std::map<std::string, RegistryValue> ReadRegistryKey(const std::string& key);
// The values of Brenvik's settings key.
std::map<std::string, RegistryValue> ReadSettings();
// Removes every stored setting (the main window's and the frame's), then imports `regLines`.
void ResetSettings(const std::string& regLines = "");
extern const char kSettingsKey[];
// The captions of the main window's check boxes, UTF-8.
extern const char kRefresh[], kCut[], kIgnore[], kShowHints[];
extern const char kShowHintsValue[];  // the frame's show-hints identifier for the main window

// The mouse on Brenvik's icon in Wine's fallback tray window.
bool TrayWindowShown();
void DoubleClickTrayIcon();
void RightClickTrayIcon();
// Picks an item of the open popup menu by its mnemonic letter.
void ChoosePopupItem(char mnemonic);

}  // namespace brenvik::e2e
