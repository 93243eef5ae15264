#include "crash/win32/Win32Mailto.h"

#include <windows.h>

#include <vector>

#include "crash/mail/MailtoAddress.h"
#include "crash/report/CrashFailureLog.h"

namespace brenvik {

namespace {

constexpr DWORD kIdleWait = 10000;
constexpr DWORD kSettleDelay = 2000;

std::string MailtoCommand() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, "mailto\\shell\\open\\command", 0, KEY_READ, &key) != ERROR_SUCCESS) return {};
    char data[2048] = {};
    DWORD size = sizeof data - 1;
    const LSTATUS status = RegQueryValueExA(key, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS) return {};
    const std::string command(data, strnlen(data, size));
    std::vector<char> expanded(32768);
    const DWORD length = ExpandEnvironmentStringsA(command.c_str(), expanded.data(), static_cast<DWORD>(expanded.size()));
    return length > 0 && length <= expanded.size() ? std::string(expanded.data()) : command;
}

std::string SystemErrorText(DWORD code) {
    char* text = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
        reinterpret_cast<char*>(&text), 0, nullptr);
    std::string message = length && text ? std::string(text, length) : "Error " + std::to_string(code);
    LocalFree(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r')) message.pop_back();
    return message;
}

struct MainWindowSearch {
    DWORD ProcessId;
    HWND Found = nullptr;
};

BOOL CALLBACK CheckWindow(HWND window, LPARAM data) {
    auto& search = *reinterpret_cast<MainWindowSearch*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search.ProcessId || !IsWindowVisible(window)) return TRUE;
    const HWND parent = GetWindow(window, GW_OWNER);
    if (parent && parent != GetDesktopWindow()) return TRUE;
    const LONG_PTR style = GetWindowLongPtrA(window, GWL_EXSTYLE);
    if ((style & WS_EX_TOOLWINDOW) && !(style & WS_EX_APPWINDOW)) return TRUE;
    search.Found = window;
    return FALSE;
}

}  // namespace

bool SendReportMailto(const std::string& recipients, const std::string& subject, const std::string& body,
                      const std::string& reportText, const std::string& reproduceSteps, TCrashFailureLog& log) {
    const std::string address = BuildMailtoAddress(recipients, subject, body, reportText, reproduceSteps);
    std::string command = MailtoCommandLine(MailtoCommand(), address);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (command.empty() || !CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE,
                                           CREATE_NEW_PROCESS_GROUP | NORMAL_PRIORITY_CLASS, nullptr, nullptr,
                                           &startup, &process)) {
        const DWORD code = command.empty() ? ERROR_FILE_NOT_FOUND : GetLastError();
        log.Warning(eeEmailShellError, SystemErrorText(code));
        return false;
    }
    WaitForInputIdle(process.hProcess, kIdleWait);
    Sleep(kSettleDelay);
    MainWindowSearch search{process.dwProcessId};
    EnumWindows(&CheckWindow, reinterpret_cast<LPARAM>(&search));
    if (search.Found) {
        SetWindowPos(search.Found, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        ShowWindow(search.Found, SW_SHOWMAXIMIZED);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

}  // namespace brenvik
