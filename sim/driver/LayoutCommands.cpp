#include "LayoutCommands.h"

#include <string>

namespace {

std::string g_report;
bool g_answered = false;

LRESULT CALLBACK InboxProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COPYDATA) {
        const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        g_report.assign(static_cast<const char*>(data->lpData), data->cbData);
        g_answered = true;
        return TRUE;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

// A hidden window of the driver's own for Brenvik's answer.
HWND CreateInbox()
{
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = InboxProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"BrenvikDriverInbox";
    RegisterClassW(&windowClass);
    return CreateWindowExW(0, windowClass.lpszClassName, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                           windowClass.hInstance, nullptr);
}

}  // namespace

// Brenvik answers the request, still inside it, with a WM_COPYDATA that this
// thread takes while it waits.
void PrintTextLayout(const Options& opt)
{
    HWND main = WaitForTopLevel(opt.windowClass, opt.timeoutMs);
    HWND inbox = CreateInbox();
    if (!inbox)
        Fail("cannot create the window for the answer");
    DWORD_PTR result = 0;
    SendMessageTimeoutW(main, RegisterWindowMessageW(L"Brenvik.TextLayout"), reinterpret_cast<WPARAM>(inbox), 0,
                        SMTO_ABORTIFHUNG, kAnswerMs, &result);
    DestroyWindow(inbox);
    if (!g_answered)
        Fail("Brenvik gave no text layout");
    size_t start = 0;
    while (start < g_report.size()) {
        size_t end = g_report.find('\n', start);
        if (end == std::string::npos)
            end = g_report.size();
        PrintLine(g_report.substr(start, end - start));
        start = end + 1;
    }
}
