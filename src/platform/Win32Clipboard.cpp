#include "platform/Win32Clipboard.h"

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

bool CopyReportToClipboard(const std::string& text, HWND owner) {
    if (!OpenClipboardSoon(owner)) return false;
    EmptyClipboard();
    bool done = false;
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
    return done;
}

}  // namespace brenvik
