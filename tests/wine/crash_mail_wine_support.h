#pragma once
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "crash/report/CrashFailureLog.h"
#include "crash/report/CrashTrace.h"
#include "crash/stack/ProcessMemory.h"

namespace brenvik::testing {

inline std::string Environment(const char* name) {
    char value[1024] = {};
    const DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
    return length > 0 && length < sizeof value ? std::string(value, length) : std::string();
}

// A Unix path of the test harness as Wine's drive Z: sees it.
inline std::filesystem::path UnixPath(const std::string& path) {
    std::string windows = "Z:" + path;
    for (char& c : windows)
        if (c == '/') c = '\\';
    return windows;
}

inline std::string ReadFileBytes(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

// The folder of this test program, where its helper programs are built.
inline std::filesystem::path ProgramFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return std::filesystem::path(path).parent_path();
}

struct NoMemory : ProcessMemory {
    bool IsReadable(CrashAddress, std::size_t) const override { return false; }
    bool Read(CrashAddress, void*, std::size_t) const override { return false; }
};

// A failure log of the test's own, with a trace that writes no file.
struct TestFailureLog {
    TCrashTrace Trace{"C:\\brenvik-mail-test.exe", [] { return TCrashDateTime{}; }};
    NoMemory Memory;
    TCrashFailureLog Log{Trace, Memory};
};

}  // namespace brenvik::testing
