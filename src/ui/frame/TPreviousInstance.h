#pragma once
#include <windows.h>

#include <string>

namespace brenvik {

// Notes whether another instance of the program runs, and lets a first
// instance be brought to the front by a registered message named after the
// executable.
class TPreviousInstance {
public:
    TPreviousInstance() = default;
    TPreviousInstance(const TPreviousInstance&) = delete;
    TPreviousInstance& operator=(const TPreviousInstance&) = delete;
    ~TPreviousInstance();

    // Run once at start, with the application window already created.
    void Detect(HWND applicationWindow);
    bool PreviousInstanceFound() const { return found_; }
    UINT ActivationMessage() const { return activationMessage_; }

    // The name both the mutex and the message carry: the executable's file
    // name without folder and without everything from its first dot, all but
    // the first character in lower case.
    static std::string InstanceName(const std::string& executablePath);

private:
    static LRESULT CALLBACK AppWndProc(HWND, UINT, WPARAM, LPARAM);
    UINT activationMessage_ = 0;
    HANDLE mutex_ = nullptr;
    bool found_ = false;
    HWND window_ = nullptr;
    WNDPROC formerProc_ = nullptr;
};

}  // namespace brenvik
