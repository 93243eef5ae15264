#pragma once
#include <cstring>
#include <map>
#include <vector>

#include "crash/report/CrashSystemInfo.h"
#include "crash/stack/ProcessMemory.h"

namespace brenvik::testing {

// System data as plain fields, so each test sets what it checks.
struct FakeSystemInfo : CrashSystemInfo {
    TCrashDateTime now{2026, 12, 9, 3, 10, 5, 1};
    std::int32_t bias = -60;
    std::string mainFile = "C:\\Program Files\\Brenvik\\Brenvik.exe";
    std::string description = "Brenvik";
    std::string version = "1.0.0.3";
    std::vector<std::string> parameters{"/tray", "a b"};
    std::string foregroundClass = "TFormMain";
    std::string foregroundText = "Brenvik\tv1";
    std::string computer = "KASA-1";
    std::string user = "anna";
    TCrashMemoryStatus memory{4294967296ull, 1572864ull};
    std::optional<TCrashDiskSpace> disk = TCrashDiskSpace{107374182400ull, 1610612736ull};
    TCrashOsVersion os{TCrashOsPlatform::WindowsNT, 10, 0, 22631, ""};
    std::string language = "Polski";

    TCrashDateTime Now() const override { return now; }
    std::int32_t TimeZoneBias() const override { return bias; }
    std::string MainModuleFileName() const override { return mainFile; }
    std::string MainModuleDescription() const override { return description; }
    std::string MainModuleVersion() const override { return version; }
    std::vector<std::string> CommandLineParameters() const override { return parameters; }
    std::string ForegroundWindowClass() const override { return foregroundClass; }
    std::string ForegroundWindowText() const override { return foregroundText; }
    std::string ComputerName() const override { return computer; }
    std::string UserName() const override { return user; }
    TCrashMemoryStatus MemoryStatus() const override { return memory; }
    std::optional<TCrashDiskSpace> DiskSpace() const override { return disk; }
    TCrashOsVersion OsVersion() const override { return os; }
    std::string DefaultLanguageName() const override { return language; }
};

// Readable memory made of the regions a test maps; everything else faults.
struct FakeMemory : ProcessMemory {
    std::map<CrashAddress, std::vector<std::uint8_t>> regions;

    bool IsReadable(CrashAddress address, std::size_t size) const override { return Find(address, size) != nullptr; }
    bool Read(CrashAddress address, void* buffer, std::size_t size) const override {
        const std::uint8_t* bytes = Find(address, size);
        if (!bytes) return false;
        std::memcpy(buffer, bytes, size);
        return true;
    }

private:
    const std::uint8_t* Find(CrashAddress address, std::size_t size) const {
        for (const auto& [base, bytes] : regions)
            if (address >= base && address + size <= base + bytes.size()) return bytes.data() + (address - base);
        return nullptr;
    }
};

}  // namespace brenvik::testing
