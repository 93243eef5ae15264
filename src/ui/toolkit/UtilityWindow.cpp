#include "ui/toolkit/UtilityWindow.h"

namespace brenvik {

HWND CreateUtilityWindow(const wchar_t* className, WNDPROC procedure, void* owner, DWORD style, DWORD exStyle) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = className;
    RegisterClassExW(&windowClass);  // fails harmlessly once registered
    HWND window =
        CreateWindowExW(exStyle, className, L"", style, 0, 0, 0, 0, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(owner));
    return window;
}

}  // namespace brenvik
