#include "ImportCommands.h"

#include "UiLookup.h"
#include "WindowCommands.h"

namespace {

constexpr DWORD kClickStartMs = 5000;

// Answers the import's message boxes until the import is over.
void FollowImport(HWND main, HWND button, const Options& opt)
{
    const DWORD pid = ProcessOf(main);
    ULONGLONG lastProgress = GetTickCount64();
    for (;;) {
        if (!IsWindow(main))
            Fail("Brenvik's window disappeared during the import");
        if (GetTickCount64() - lastProgress >= opt.timeoutMs)
            Fail("import did not end");
        HWND box = FindMessageBox(pid);
        if (!box && IsWindowEnabled(button))
            break;
        // Unreadable means Brenvik's thread is busy: look again rather than print a blank.
        const auto text = box ? MessageBoxText(box) : std::nullopt;
        if (!text) {
            Sleep(kPollMs);
            continue;
        }
        PrintDialogFace(box, false);
        PrintLine("message: ", *text);
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        if (!WaitUntil(opt.timeoutMs, [&] { return !IsWindow(box) || !IsWindowVisible(box); }))
            Fail("message box did not close");
        lastProgress = GetTickCount64();
    }
    PrintLine("done");
}

}  // namespace

// The import runs inside Brenvik's click handler with the button disabled, and may show
// message boxes on the way; it is over once the button is enabled again with no box open.
void Import(const Options& opt)
{
    HWND main = WaitForTopLevel(opt.windowClass, opt.timeoutMs);
    HWND button = WaitForButton(main, opt.buttonCaption, opt.timeoutMs);
    const DWORD pid = ProcessOf(main);
    // A click into a running import or an open box would nest a second import.
    if (!WaitUntil(opt.timeoutMs, [&] { return IsWindowEnabled(button) && !FindMessageBox(pid); }))
        Fail("Brenvik is busy: button disabled or a message box open");

    // Posted: the handler blocks in modal boxes, a SendMessage would block the driver with it.
    PostMessageW(button, BM_CLICK, 0, 0);
    // If neither sign shows in time, the import was over before the first look.
    WaitUntil(kClickStartMs < opt.timeoutMs ? kClickStartMs : opt.timeoutMs,
              [&] { return !IsWindowEnabled(button) || FindMessageBox(pid); });
    FollowImport(main, button, opt);
}

// Answers the boxes of an import started some other way (the tray menu), until it is over.
void FollowImportStartedElsewhere(const Options& opt)
{
    HWND main = WaitForTopLevel(opt.windowClass, opt.timeoutMs);
    HWND button = WaitForButton(main, opt.buttonCaption, opt.timeoutMs);
    const DWORD pid = ProcessOf(main);
    if (!WaitUntil(opt.timeoutMs, [&] { return !IsWindowEnabled(button) || FindMessageBox(pid); }))
        Fail("no import started");
    FollowImport(main, button, opt);
}

