#include "crash/watchdog/MainWindowSearch.h"

namespace brenvik {

namespace {

struct Search {
    DWORD processId;
    HWND found;
};

bool IsMainWindowCandidate(HWND window, DWORD processId) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != processId || !IsWindowVisible(window)) return false;
    const HWND ownerWindow = GetWindow(window, GW_OWNER);
    if (ownerWindow && ownerWindow != GetDesktopWindow()) return false;
    const LONG_PTR style = GetWindowLongPtrW(window, GWL_EXSTYLE);
    return !(style & WS_EX_TOOLWINDOW) || (style & WS_EX_APPWINDOW);
}

BOOL CALLBACK Visit(HWND window, LPARAM state) {
    auto* search = reinterpret_cast<Search*>(state);
    if (!IsMainWindowCandidate(window, search->processId)) return TRUE;
    search->found = window;
    return FALSE;
}

}  // namespace

HWND FindMainWindow(DWORD processId) {
    Search search{processId, nullptr};
    EnumWindows(&Visit, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace brenvik
