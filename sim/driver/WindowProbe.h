#pragma once
// Reading what Brenvik's windows look like from outside its process: visibility,
// sizes, control states and the pixels on the screen.

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// Visible top-level windows of process `pid`, by class name.
std::vector<std::wstring> VisibleTopLevelClasses(DWORD pid);

// True once `hwnd`'s thread answers a message, i.e. its message loop runs.
bool AnswersMessages(HWND hwnd, UINT timeoutMs);

// Summary of a rectangle of the screen as it is now.
struct PixelSummary {
    uint64_t hash = 0;  // of every pixel: equal summaries mean equal pictures
    int dark = 0;       // pixels darker than text drawn in a grey colour
    int grey = 0;       // mid-grey pixels, as disabled text is drawn
};

// `area` is in client coordinates of `hwnd`.
PixelSummary SummarizeClientArea(HWND hwnd, const RECT& area);

// Which of the system's message icons a static icon control of another process
// shows, by its pixels on the screen: "information", "warning", "error",
// "question" or "other".
std::string IconKind(HWND iconControl);

// The X11 window behind a Wine window, for tools that work on the X side; 0 when unknown.
unsigned long X11WindowOf(HWND hwnd);
