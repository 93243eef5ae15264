#include "crash/intercept/ProgramEnd.h"

#include <windows.h>

#include <cstring>
#include <vector>

namespace brenvik {

void EndProgram(bool restart, const std::string& startDirectory) {
    if (restart) {
        STARTUPINFOA startup{};
        GetStartupInfoA(&startup);
        std::vector<char> commandLine(GetCommandLineA(), GetCommandLineA() + std::strlen(GetCommandLineA()) + 1);
        PROCESS_INFORMATION process{};
        if (CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE,
                           CREATE_NEW_PROCESS_GROUP | NORMAL_PRIORITY_CLASS, nullptr,
                           startDirectory.empty() ? nullptr : startDirectory.c_str(), &startup, &process)) {
            CloseHandle(process.hThread);
            CloseHandle(process.hProcess);
        }
    }
    TerminateProcess(GetCurrentProcess(), 1);
    ExitProcess(1);
}

}  // namespace brenvik
