#pragma once
// Finding and reading Brenvik's windows from outside its process.

#include <windows.h>

#include <optional>
#include <string>

std::string ToUtf8(const std::wstring& text);

// Caption of a top-level window; does not wait for the window's thread.
std::wstring CaptionText(HWND hwnd);

// Text of a control of another process; nullopt if its thread did not answer in time.
std::optional<std::wstring> ControlText(HWND hwnd);

// Child push button whose caption equals `caption` exactly (mnemonic '&' included).
HWND FindButton(HWND parent, const std::wstring& caption);

// A visible standard dialog (class "#32770") owned by process `pid`; the
// topmost one if several are open.
HWND FindMessageBox(DWORD pid);

// Text of a message box (its static control with id 0xFFFF); nullopt if unreadable yet.
std::optional<std::wstring> MessageBoxText(HWND box);
