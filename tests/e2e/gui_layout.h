#pragma once
// The main window's layout at a chosen DPI: a Wine prefix of the test's own
// whose screen has that many pixels per inch, and the window's own report
// of where its texts sit (see the driver's text-layout command).
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "gui_harness.h"

namespace brenvik::e2e {

// Made in the session's scratch folder with the session's fonts; while it
// lives, every program the test starts runs in it. Its wineserver is stopped
// and the prefix removed at the end.
class OwnPrefix {
public:
    OwnPrefix();
    ~OwnPrefix();
    OwnPrefix(const OwnPrefix&) = delete;
    OwnPrefix& operator=(const OwnPrefix&) = delete;
    // Wine's LogPixels: programs started from now on see this DPI.
    void SetDpi(int dpi) const;

private:
    std::filesystem::path path_;
    std::string sessionPrefix_;
};

struct TextBox {
    Rect room;
    int width = 0, height = 0;  // what the text needs
};

struct TextLayout {
    int dpi = 0;
    std::map<std::string, Rect> controls;       // by name, client coordinates
    std::map<std::string, std::string> parents;  // by name; "-" for the form
    std::map<std::string, TextBox> texts;       // by control name
};

TextLayout ReadTextLayout();

}  // namespace brenvik::e2e
