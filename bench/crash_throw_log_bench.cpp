// Throw → log entry written: the time from a throw to the moment the
// facility has written the report into the log, with the report shown
// nowhere and mailed nowhere. Each throw is caught by a catch-all that hands
// it to ExceptionManager, as the toolkit's handlers do, so every one is
// reported (repeated reports are logged too). The program carries its own
// "CLDATA" block. Prints "<figure> <value>" lines; the log goes to a folder of
// its own in the temporary folder, removed at the end.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "Measure.h"
#include "base/Exception.h"
#include "crash/intercept/Crashlog.h"
#include "crash/intercept/UnhandledExceptions.h"
#include "crash/win32/Win32CrashModules.h"

using namespace brenvik;

namespace {

constexpr int kExceptions = 100;

std::string QuantityMessage(int line) { return "Line " + std::to_string(line) + ": quantity is not a number"; }

__attribute__((noinline)) void ParseQuantity(int line) {
    throw EConvertError(QuantityMessage(line));
}

__attribute__((noinline)) void ImportLine(int line) { ParseQuantity(line); }

std::string ReadLog(const std::string& file) {
    std::string text;
    const HANDLE handle = CreateFileA(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return text;
    char buffer[65536];
    DWORD read = 0;
    while (ReadFile(handle, buffer, sizeof buffer, &read, nullptr) && read > 0) text.append(buffer, read);
    CloseHandle(handle);
    return text;
}

// One throw to its logged report, in milliseconds; negative when its report
// is not in the log.
double ThrowToLog(const std::string& logFile, int line) {
    const auto start = std::chrono::steady_clock::now();
    try {
        ImportLine(line);
    } catch (...) {
        ExceptionManager(std::current_exception());
    }
    const std::chrono::duration<double, std::milli> spent = std::chrono::steady_clock::now() - start;
    return ReadLog(logFile).find(QuantityMessage(line)) != std::string::npos ? spent.count() : -1;
}

}  // namespace

int main() {
    TCrashlogUnit crashlog;
    crashlog.EndInitialization();
    if (!TCrashlog::Active()) {
        std::fprintf(stderr, "crash_throw_log_bench: the program carries no debug-information block\n");
        return 1;
    }
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string folder = std::string(temp) + "crash_throw_log_bench_" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(folder.c_str(), nullptr);
    TCrashModuleOptionsEx& options = CurrentCrashLogOptions();
    options.SetOutputPath(folder);
    options.SetShowReport(false);
    options.SetSendMode(TCrashModuleOptions::kSendNone);
    options.SetSaveLogFile(true);
    options.SetReportFlags(0);  // every report is logged, repeated ones too
    const std::string logFile = folder + "\\crash_throw_log_bench.clog";

    // The first report also decodes the program's debug information, once per run.
    const double first = ThrowToLog(logFile, 0);
    std::vector<double> milliseconds;
    bool everyLogged = first >= 0;
    std::printf("# per exception:");
    for (int i = 1; i <= kExceptions; ++i) {
        milliseconds.push_back(ThrowToLog(logFile, i));
        everyLogged = everyLogged && milliseconds.back() >= 0;
        std::printf(" %.1f", milliseconds.back());
    }
    std::printf("\n# log entries kept: %d, log size %zu bytes\n", options.MaxLogEntries(), ReadLog(logFile).size());
    std::printf("throw_to_log_first_ms %.2f\n", first);
    std::printf("throw_to_log_ms %.2f\n", Median(milliseconds));
    std::printf("throw_to_log_max_ms %.2f\n", *std::max_element(milliseconds.begin(), milliseconds.end()));
    DeleteFileA(logFile.c_str());
    RemoveDirectoryA(folder.c_str());
    crashlog.BeginFinalization();
    if (!everyLogged) std::fprintf(stderr, "crash_throw_log_bench: an exception was not logged\n");
    return everyLogged ? 0 : 1;
}
