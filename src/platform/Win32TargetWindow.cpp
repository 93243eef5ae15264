#include "platform/Win32TargetWindow.h"

#include <windows.h>

namespace brenvik {
namespace {

class Win32TargetWindowApi final : public TargetWindowApi {
public:
    WindowHandle FindByClass(const std::string& className) override {
        return reinterpret_cast<WindowHandle>(FindWindowA(className.c_str(), nullptr));
    }
    void Send(WindowHandle window, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) override {
        SendMessageA(reinterpret_cast<HWND>(window), message, wParam, lParam);
    }
    void Sleep(std::uint32_t milliseconds) override { ::Sleep(milliseconds); }
};

}  // namespace

TargetWindowApi& SystemTargetWindowApi() {
    static Win32TargetWindowApi api;
    return api;
}

}  // namespace brenvik
