#pragma once
// What every command of the driver shares: its options, its output and the
// waits for Brenvik's windows.

#include <windows.h>

#include <string>
#include <vector>

constexpr DWORD kPollMs = 10;
constexpr UINT kAnswerMs = 5000;

struct Options {
    std::wstring windowClass = L"TFormMain4D643DD6BD8E447C9291EEDF0A10BE65";
    std::wstring buttonCaption = L"&Importuj";
    DWORD timeoutMs = 30000;
    DWORD settleMs = 0;
    std::vector<std::wstring> command;
};

[[noreturn]] void Fail(const std::string& why);

// One result per line, flushed at once so a calling test reads progress as it happens.
// Line breaks inside a text become the two characters "\n".
void PrintLine(const std::string& prefix, const std::wstring& text = {});

template <class Done>
bool WaitUntil(DWORD timeoutMs, Done done)
{
    const ULONGLONG start = GetTickCount64();
    while (!done()) {
        if (GetTickCount64() - start >= timeoutMs)
            return false;
        Sleep(kPollMs);
    }
    return true;
}

HWND WaitForTopLevel(const std::wstring& windowClass, DWORD timeoutMs);
void CloseAndWait(HWND hwnd, DWORD timeoutMs);
DWORD ProcessOf(HWND hwnd);
HWND WaitForButton(HWND parent, const std::wstring& caption, DWORD timeoutMs);

std::string Flag(bool value);
std::string RectText(const RECT& r);
void PrintRect(const std::string& prefix, const RECT& r);
