#include <windows.h>

#include <cctype>

#include "crash/intercept/ExceptNotify.h"
#include "platform/Cp1250.h"

namespace brenvik {
namespace {

constexpr int kMaxText = 255;

bool IsPasswordEdit(HWND window, const std::string& className) {
    std::string upper;
    for (char c : className)
        if (!std::isspace(static_cast<unsigned char>(c))) upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return upper.find("EDIT") != std::string::npos && (GetWindowLongW(window, GWL_STYLE) & ES_PASSWORD) != 0;
}

// Another thread's window is read without sending it a message: its thread
// may be the one that is stuck, or suspended by the freeze watchdog.
std::wstring WindowText(HWND window) {
    wchar_t text[kMaxText + 1] = {};
    if (GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId())
        GetWindowTextW(window, text, kMaxText + 1);
    else
        InternalGetWindowText(window, text, kMaxText + 1);
    text[kMaxText] = 0;
    return text;
}

HWND FocusedWindow(DWORD mainThreadId) {
    if (HWND own = GetFocus()) return own;
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (GetGUIThreadInfo(mainThreadId, &info) && info.hwndFocus) return info.hwndFocus;
    return GetGUIThreadInfo(0, &info) ? info.hwndFocus : nullptr;
}

}  // namespace

void ReadFocusedWindow(DWORD mainThreadId, std::string& className, std::string& text) {
    HWND window = FocusedWindow(mainThreadId);
    if (!window) return;
    char name[kMaxText + 1] = {};
    GetClassNameA(window, name, kMaxText + 1);
    className = name;
    text = Cp1250FromWide(WindowText(window));
    if (IsPasswordEdit(window, className)) text.assign(text.size(), '*');
}

}  // namespace brenvik
