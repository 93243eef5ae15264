#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace brenvik::dialogdriver {

// Drives the crash-report dialogs of this process from another thread, the
// way a user would: finds them, reads their controls and presses their
// buttons. Every wait is bounded.

// A visible, painted top-level dialog of this process with the caption that
// holds the control; none when it did not appear within the time.
HWND WaitForDialog(const std::wstring& caption, int controlId, DWORD timeoutMs = 10000);
// Waits until the window is gone; false when it is still there.
bool WaitForClose(HWND window, DWORD timeoutMs = 10000);

std::wstring ControlText(HWND dialog, int id);
bool ControlVisible(HWND dialog, int id);
bool ControlEnabled(HWND dialog, int id);
bool ControlChecked(HWND dialog, int id);
RECT WindowBounds(HWND window);

// Clicks a button or check box the way the mouse would; returns when the
// dialog has handled it.
void Click(HWND dialog, int id);
void PressKey(HWND control, WORD virtualKey);
void TypeText(HWND dialog, int id, const std::wstring& text);

// Tab control: selects a page as a user click does.
void SelectTab(HWND dialog, int tabControlId, int index);
// The child dialog shown as the tab control's current page.
HWND CurrentPage(HWND tabControl);

// Report-style list view: rows of cell texts.
std::vector<std::vector<std::wstring>> ListRows(HWND list, int columns);
// Selects a row and double-clicks it.
void ActivateRow(HWND list, int row);
// Selects the row and presses Enter on the list, as the keyboard does.
void PressEnterOnRow(HWND list, int row);

// The window as drawn on the screen, written as a 24-bit bottom-up bitmap file.
bool SaveWindowBitmap(HWND window, const std::wstring& fileName);

}  // namespace brenvik::dialogdriver
