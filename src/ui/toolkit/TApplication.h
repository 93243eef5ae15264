#pragma once
#include <windows.h>

#include <exception>
#include <functional>
#include <string>
#include <vector>

#include "ui/toolkit/TControl.h"

namespace brenvik {

class TForm;

// The application object: its own hidden top-level window (the taskbar
// owner), the main form (the first form created), the message loop, hint
// tracking at idle time and the central exception handler.
class TApplication {
public:
    static TApplication& Instance();

    void Initialize();
    const std::string& Title() const { return title_; }
    void SetTitle(const std::string& title);
    HWND Handle() const { return handle_; }
    TForm* MainForm() const { return mainForm_; }
    bool ShowMainForm = true;

    // Runs the message loop until Terminate (or the main form closes).
    void Run();
    // Handles every queued message, then returns.
    void ProcessMessages();
    void Terminate();
    bool Terminated() const { return terminated_; }

    // Where every exception caught by the toolkit goes: ExceptionHook sees it
    // first (the crash-report facility), then OnException or, without one,
    // a box with the message. The silent abort shows nothing.
    void HandleException(std::exception_ptr error);
    // Returns true when the toolkit's own handling is to run as well.
    std::function<bool(const std::exception_ptr&)> ExceptionHook;
    std::function<void(std::exception_ptr)> OnException;

    // Long part of the hint of the control under the mouse, updated at idle.
    const std::string& Hint() const { return hint_; }
    TNotifyEvent OnHint;
    void Idle();

    // Modal box with the caption "Information" (Windows-1250 text).
    int MessageBox(const std::string& text, UINT flags);

    void FormCreated(TForm* form);
    void FormDestroyed(TForm* form);
    void ControlDestroyed(TControl* control);

private:
    TApplication() = default;
    bool HandleMessage(MSG& message);
    // The control under the mouse, found at idle time, is the hot one.
    void TrackMouseControl(TControl* control, HWND pointed, POINT screen);

    HWND handle_ = nullptr;
    std::string title_;
    TForm* mainForm_ = nullptr;
    std::vector<TForm*> forms_;
    bool terminated_ = false;
    std::string hint_;
    TControl* mouseControl_ = nullptr;
};

}  // namespace brenvik
