#include "crash_dialog_session.h"

#include <windows.h>

#include <thread>

#include "DialogDriver.h"
#include "crash/dialog/CrashDialogIds.h"
#include "platform/Cp1250.h"

namespace brenvik::dialogtest {

TExceptionDialogChoices RunExceptionDialog(const TExceptionDialogInput& input, const std::function<void()>& drive) {
    std::thread driver([&] {
        drive();
        // Anything still open (a re-shown dialog, the message box of a dialog
        // closed before it was painted, a failed step) is closed.
        for (int i = 0; i < 5; ++i) {
            HWND left = dialogdriver::WaitForDialog(L"Error.", IDC_CRASH_OK, 300);
            if (left == nullptr) left = dialogdriver::WaitForDialog(L"Error.", IDOK, 0);
            if (left == nullptr) break;
            PostMessageW(left, WM_CLOSE, 0, 0);
            dialogdriver::WaitForClose(left, 2000);
        }
    });
    const TExceptionDialogChoices choices = ShowExceptionDialog(input);
    driver.join();
    return choices;
}

std::string PositionFilePath() {
    char folder[MAX_PATH] = {};
    GetWindowsDirectoryA(folder, MAX_PATH);
    return std::string(folder) + "\\Crashlog.ini";
}

std::string ReadPosition(const std::string& key) {
    char value[64] = {};
    GetPrivateProfileStringA("Coordinates", key.c_str(), "", value, sizeof value, "Crashlog.ini");
    return value;
}

void WritePosition(const std::string& key, int value) {
    WritePrivateProfileStringA("Coordinates", key.c_str(), std::to_string(value).c_str(), "Crashlog.ini");
}

std::wstring Wide(const std::string& text) { return WideFromCp1250(text); }

}  // namespace brenvik::dialogtest
