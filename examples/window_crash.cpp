// A windowed program with the crash-report facility, crashing on purpose: a
// click on its button throws inside the window procedure, which hands the
// exception to the facility as a toolkit's catch-all would. The exception
// dialog shows the report, which names this file, OpenOrder and the line of
// the throw; the log keeps it in window_crash.clog beside the program.
//
// usage: window_crash [--unattended]   (clicks by itself, no dialog, then ends)
#include <windows.h>

#include <cstring>
#include <stdexcept>
#include <string>

#include "crash/delivery/StandardReportSteps.h"
#include "crash/intercept/Crashlog.h"
#include "crash/intercept/UnhandledExceptions.h"

namespace {

constexpr int kCrashButton = 1;
bool unattended = false;

void OpenOrder(int number) {
    throw std::runtime_error("order " + std::to_string(number) + " does not exist");
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        switch (message) {
        case WM_CREATE:
            CreateWindowA("BUTTON", "&Crash", WS_CHILD | WS_VISIBLE | BS_DEFPUSHBUTTON, 20, 20, 120, 28, window,
                          reinterpret_cast<HMENU>(kCrashButton), nullptr, nullptr);
            if (unattended) PostMessageA(window, WM_COMMAND, kCrashButton, 0);
            return 0;
        case WM_COMMAND:
            if (LOWORD(wParam) == kCrashButton) {
                OpenOrder(42);
                return 0;
            }
            break;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        }
    } catch (...) {
        brenvik::ExceptionManager(std::current_exception());
        if (unattended) PostMessageA(window, WM_CLOSE, 0, 0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

int RunWindow(HINSTANCE instance) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = "WindowCrashExample";
    RegisterClassA(&windowClass);
    CreateWindowA("WindowCrashExample", "Window crash example", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CW_USEDEFAULT,
                  CW_USEDEFAULT, 320, 120, nullptr, nullptr, instance, nullptr);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    // First in, last out: the facility sees every exception in between.
    brenvik::TCrashlogUnit crashReporting;
    if (brenvik::TCrashlog* facility = brenvik::TCrashlog::Active()) {
        brenvik::InstallStandardReportSteps(*facility);
        unattended = std::strstr(commandLine, "--unattended") != nullptr;
        if (unattended) facility->OwnOptions().SetShowReport(false);
    }
    crashReporting.EndInitialization();
    const int exitCode = RunWindow(instance);
    crashReporting.BeginFinalization();
    return exitCode;
}
