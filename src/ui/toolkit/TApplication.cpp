#include "ui/toolkit/TApplication.h"

#include <algorithm>

#include "base/Exception.h"
#include "platform/Cp1250.h"
#include "ui/toolkit/GraphicControls.h"
#include "ui/toolkit/Hints.h"
#include "ui/toolkit/StandardControls.h"
#include "ui/toolkit/TForm.h"
#include "ui/toolkit/TThread.h"
#include "ui/toolkit/UtilityWindow.h"

namespace brenvik {
namespace {

const wchar_t kApplicationClass[] = L"BrenvikApplication";

LRESULT CALLBACK ApplicationWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == TThread::kSynchronizeMessage) {
        TThread::RunPendingCall(lParam);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

std::string MessageOf(std::exception_ptr error) {
    try {
        std::rethrow_exception(error);
    } catch (const Exception& exception) {
        return exception.Message;
    } catch (const std::exception& exception) {
        return exception.what();
    } catch (...) {
        return "Unknown exception";
    }
}

bool IsAbort(std::exception_ptr error) {
    try {
        std::rethrow_exception(error);
    } catch (const EAbort&) {
        return true;
    } catch (...) {
        return false;
    }
}

// A letter that picks a control by its caption's accelerator: with Alt, or
// alone where the focused control does not take characters itself.
bool IsDialogChar(MSG& message) {
    if (message.message == WM_SYSCHAR) return true;
    if (message.message != WM_CHAR) return false;
    LRESULT wants = SendMessageW(message.hwnd, WM_GETDLGCODE, message.wParam, reinterpret_cast<LPARAM>(&message));
    return !(wants & (DLGC_WANTCHARS | DLGC_WANTMESSAGE));
}

// The hint a control shows: its own, else that of the nearest parent with one.
std::string HintOf(TControl* control) {
    for (; control; control = control->Parent())
        if (!control->Hint.empty()) return control->Hint;
    return {};
}

}  // namespace

TApplication& TApplication::Instance() {
    static TApplication application;
    return application;
}

void TApplication::Initialize() {
    if (handle_) return;
    RegisterStandardControls();
    RegisterGraphicControls();
    handle_ = CreateUtilityWindow(kApplicationClass, ApplicationWindowProc, this,
                                  WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX);
    SetWindowTextW(handle_, WideFromCp1250(title_).c_str());
}

void TApplication::SetTitle(const std::string& title) {
    title_ = title;
    if (handle_) SetWindowTextW(handle_, WideFromCp1250(title).c_str());
}

void TApplication::FormCreated(TForm* form) {
    forms_.push_back(form);
    if (!mainForm_) mainForm_ = form;
}

void TApplication::FormDestroyed(TForm* form) {
    forms_.erase(std::remove(forms_.begin(), forms_.end(), form), forms_.end());
    if (mainForm_ == form) mainForm_ = nullptr;
}

bool TApplication::HandleMessage(MSG& message) {
    if (!PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) return false;
    if (message.message == WM_QUIT) {
        terminated_ = true;
        return true;
    }
    // The toolkit's own accelerators first: window-less labels have them
    // too, and the dialog manager cannot see those. Tab, arrows and the
    // rest of the keyboard's dialog navigation are the dialog manager's.
    if (IsDialogChar(message))
        if (auto* form = dynamic_cast<TForm*>(TWinControl::FromHandle(GetAncestor(message.hwnd, GA_ROOT))))
            if (form->DialogChar(static_cast<wchar_t>(message.wParam))) return true;
    for (TForm* form : forms_)
        if (form->HandleAllocated() && IsDialogMessageW(form->Handle(), &message)) return true;
    TranslateMessage(&message);
    DispatchMessageW(&message);
    return true;
}

void TApplication::ProcessMessages() {
    MSG message;
    while (!terminated_ && HandleMessage(message)) {
    }
    if (terminated_) PostQuitMessage(0);  // leave the quit for the main loop
}

void TApplication::Run() {
    if (mainForm_ && ShowMainForm) mainForm_->Show();
    MSG message;
    while (!terminated_) {
        if (HandleMessage(message)) continue;
        Idle();
        if (!terminated_) WaitMessage();
    }
}

void TApplication::Terminate() {
    if (terminated_) return;
    terminated_ = true;
    PostQuitMessage(0);
}

void TApplication::HandleException(std::exception_ptr error) {
    if (ExceptionHook && !ExceptionHook(error)) return;
    if (OnException) {
        OnException(error);
        return;
    }
    if (IsAbort(error)) return;
    HWND owner = mainForm_ && mainForm_->HandleAllocated() ? mainForm_->Handle() : nullptr;
    MessageBoxW(owner, WideFromCp1250(MessageOf(error)).c_str(), WideFromCp1250(title_).c_str(),
                MB_OK | MB_ICONERROR);
}

void TApplication::Idle() {
    POINT cursor;
    GetCursorPos(&cursor);
    TControl* control = nullptr;
    // Windows the toolkit did not create (a spin edit's arrows) stand for
    // the control of the nearest known window around them.
    const POINT screen = cursor;
    HWND pointed = WindowFromPoint(cursor), under = pointed;
    while (under && !TWinControl::FromHandle(under)) under = GetParent(under);
    if (TWinControl* window = TWinControl::FromHandle(under)) {
        ScreenToClient(window->Handle(), &cursor);
        control = window->ControlAtPos({cursor.x, cursor.y});
    }
    TrackMouseControl(control, pointed, screen);
    std::string hint = LongHint(HintOf(control));
    if (hint == hint_) return;
    hint_ = hint;
    if (OnHint) OnHint(nullptr);
}

void TApplication::TrackMouseControl(TControl* control, HWND pointed, POINT screen) {
    if (control != mouseControl_) {
        if (mouseControl_) mouseControl_->SetMouseInControl(false);
        mouseControl_ = control;
        if (control) control->SetMouseInControl(true);
    }
    // Leaving the window under the mouse brings a message, and with it the
    // next idle pass, which finds that the mouse has gone.
    // Over a border or a caption it is the non-client area that is left:
    // tracking the client area there would report a leave at once, and again
    // on every idle pass.
    if (control) {
        LRESULT hit = SendMessageW(pointed, WM_NCHITTEST, 0, MAKELPARAM(screen.x, screen.y));
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE | (hit == HTCLIENT ? 0u : TME_NONCLIENT), pointed, 0};
        TrackMouseEvent(&track);
    }
}

void TApplication::ControlDestroyed(TControl* control) {
    if (mouseControl_ == control) mouseControl_ = nullptr;
}

int TApplication::MessageBox(const std::string& text, UINT flags) {
    HWND owner = GetActiveWindow();
    return MessageBoxW(owner, WideFromCp1250(text).c_str(), L"Information", flags);
}

}  // namespace brenvik
