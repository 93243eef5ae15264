#include "crash/win32/Win32Clipboard.h"

#include <cstring>

namespace brenvik {

namespace {

// Another program may hold the clipboard for a moment.
bool OpenClipboardSoon(HWND owner) {
    for (int attempt = 0; attempt < 10; ++attempt) {
        if (OpenClipboard(owner)) return true;
        Sleep(20);
    }
    return false;
}

}  // namespace

bool CopyReportToClipboard(const std::string& text) {
    // Emptying a clipboard opened without a window leaves it with no owner,
    // and Windows then refuses the data: a message-only window of this
    // thread owns it for the copy (the text stays after the window is gone).
    HWND owner = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleA(nullptr),
                                 nullptr);
    if (!owner) return false;
    bool done = false;
    if (OpenClipboardSoon(owner)) {
        EmptyClipboard();
        if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1)) {
            if (void* target = GlobalLock(memory)) {
                std::memcpy(target, text.c_str(), text.size() + 1);
                GlobalUnlock(memory);
                done = SetClipboardData(CF_TEXT, memory) != nullptr;
            }
            // Once set, the clipboard owns the memory.
            if (!done) GlobalFree(memory);
        }
        CloseClipboard();
    }
    DestroyWindow(owner);
    return done;
}

}  // namespace brenvik
