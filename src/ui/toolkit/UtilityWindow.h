#pragma once
#include <windows.h>

namespace brenvik {

// A hidden top-level window of its own class whose procedure finds owner
// through GWLP_USERDATA; the class is registered on first use.
HWND CreateUtilityWindow(const wchar_t* className, WNDPROC procedure, void* owner, DWORD style = WS_POPUP,
                         DWORD exStyle = 0);

}  // namespace brenvik
