#include "platform/Win32TargetWindow.h"

#include <windows.h>

namespace brenvik {
namespace {

// A target that has not handled one typed character in this time is taken
// for gone: the import stops rather than hang with it.
constexpr UINT kAnswerLimitMs = 30000;

class Win32TargetWindowApi final : public TargetWindowApi {
public:
    WindowHandle FindByClass(const std::string& className) override {
        return reinterpret_cast<WindowHandle>(FindWindowA(className.c_str(), nullptr));
    }
    bool Send(WindowHandle window, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) override {
        DWORD_PTR result = 0;
        return SendMessageTimeoutA(reinterpret_cast<HWND>(window), message, wParam, lParam, SMTO_NORMAL,
                                   kAnswerLimitMs, &result) != 0;
    }
    bool Exists(WindowHandle window) override { return IsWindow(reinterpret_cast<HWND>(window)) != FALSE; }
    void Sleep(std::uint32_t milliseconds) override { ::Sleep(milliseconds); }
};

}  // namespace

TargetWindowApi& SystemTargetWindowApi() {
    static Win32TargetWindowApi api;
    return api;
}

}  // namespace brenvik
