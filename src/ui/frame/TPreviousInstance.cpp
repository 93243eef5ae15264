#include "ui/frame/TPreviousInstance.h"

#include "ui/toolkit/TApplication.h"
#include "ui/toolkit/TForm.h"

namespace brenvik {
namespace {

const char kInstanceProperty[] = "BrenvikPreviousInstance";

}  // namespace

std::string TPreviousInstance::InstanceName(const std::string& executablePath) {
    std::string name = executablePath.substr(executablePath.find_last_of("\\/:") + 1);
    name = name.substr(0, name.find('.'));
    if (name.size() > 1) CharLowerBuffA(name.data() + 1, static_cast<DWORD>(name.size() - 1));
    return name;
}

void TPreviousInstance::Detect(HWND applicationWindow) {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    OemToCharA(path, path);
    std::string name = InstanceName(path);
    activationMessage_ = RegisterWindowMessageA(name.c_str());
    mutex_ = CreateMutexA(nullptr, TRUE, name.c_str());
    if (!mutex_) return;
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        found_ = true;
        return;
    }
    window_ = applicationWindow;
    SetPropA(window_, kInstanceProperty, this);
    formerProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TPreviousInstance::AppWndProc)));
}

TPreviousInstance::~TPreviousInstance() {
    if (mutex_) CloseHandle(mutex_);
    if (formerProc_ && IsWindow(window_)) {
        SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(formerProc_));
        RemovePropA(window_, kInstanceProperty);
    }
}

LRESULT CALLBACK TPreviousInstance::AppWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = static_cast<TPreviousInstance*>(GetPropA(window, kInstanceProperty));
    if (self && message == self->activationMessage_) {
        if (IsIconic(window)) {
            if (TForm* main = TApplication::Instance().MainForm()) ShowWindow(main->Handle(), SW_RESTORE);
            ShowWindow(window, SW_RESTORE);
        }
        SetForegroundWindow(window);
        return 0;
    }
    return CallWindowProcA(self ? self->formerProc_ : DefWindowProcA, window, message, wParam, lParam);
}

}  // namespace brenvik
