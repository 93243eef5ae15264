#include <windows.h>

#include <commctrl.h>

#include <exception>

#include "app/HostWindow.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_UPDOWN_CLASS};
    InitCommonControlsEx(&controls);

    try {
        brenvik::HostWindow window(instance);
        window.Show(showCommand);

        MSG message;
        while (GetMessageW(&message, nullptr, 0, 0) > 0) {
            if (!IsDialogMessageW(window.Handle(), &message)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
        }
    } catch (const std::exception& error) {
        MessageBoxA(nullptr, error.what(), "Error", MB_OK | MB_ICONERROR);
        return 1;
    }
    return 0;
}
