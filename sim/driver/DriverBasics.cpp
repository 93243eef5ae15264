#include "DriverBasics.h"

#include <cstdio>
#include <cstdlib>

#include "UiLookup.h"

[[noreturn]] void Fail(const std::string& why)
{
    std::fprintf(stderr, "brenvik-driver: %s\n", why.c_str());
    std::exit(1);
}

void PrintLine(const std::string& prefix, const std::wstring& text)
{
    std::string line = prefix;
    const std::string utf8 = ToUtf8(text);
    for (size_t i = 0; i < utf8.size(); ++i) {
        if (utf8[i] == '\r' && i + 1 < utf8.size() && utf8[i + 1] == '\n')
            continue;
        line += (utf8[i] == '\r' || utf8[i] == '\n') ? std::string("\\n") : std::string(1, utf8[i]);
    }
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fflush(stdout);
}

HWND WaitForTopLevel(const std::wstring& windowClass, DWORD timeoutMs)
{
    HWND hwnd = nullptr;
    if (!WaitUntil(timeoutMs, [&] { return (hwnd = FindWindowW(windowClass.c_str(), nullptr)) != nullptr; }))
        Fail("no window of class " + ToUtf8(windowClass));
    return hwnd;
}

void CloseAndWait(HWND hwnd, DWORD timeoutMs)
{
    PostMessageW(hwnd, WM_CLOSE, 0, 0);
    if (!WaitUntil(timeoutMs, [&] { return !IsWindow(hwnd); }))
        Fail("window still open after WM_CLOSE");
}

DWORD ProcessOf(HWND hwnd)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    return pid;
}

HWND WaitForButton(HWND parent, const std::wstring& caption, DWORD timeoutMs)
{
    HWND button = nullptr;
    if (!WaitUntil(timeoutMs, [&] { return (button = FindButton(parent, caption)) != nullptr; }))
        Fail("no button " + ToUtf8(caption));
    return button;
}

std::string Flag(bool value) { return value ? "1" : "0"; }

std::string RectText(const RECT& r)
{
    return std::to_string(r.left) + " " + std::to_string(r.top) + " " + std::to_string(r.right) + " " +
           std::to_string(r.bottom);
}

void PrintRect(const std::string& prefix, const RECT& r) { PrintLine(prefix + RectText(r)); }

