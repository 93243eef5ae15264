#pragma once
#include <windows.h>

namespace brenvik {

// The window that stands for the process's user interface: the first
// top-level window of the process that is visible, owned by nothing but the
// desktop, and not a tool window unless it also has the application-window
// style. None while the program shows no such window.
HWND FindMainWindow(DWORD processId);

}  // namespace brenvik
