#pragma once
#include "crash/report/CrashSystemInfo.h"

namespace brenvik {

// The report's system data read from Windows.
class Win32SystemInfo : public CrashSystemInfo {
public:
    TCrashDateTime Now() const override;
    std::int32_t TimeZoneBias() const override;
    std::string MainModuleFileName() const override;
    std::string MainModuleDescription() const override;
    std::string MainModuleVersion() const override;
    std::vector<std::string> CommandLineParameters() const override;
    std::string ForegroundWindowClass() const override;
    std::string ForegroundWindowText() const override;
    std::string ComputerName() const override;
    std::string UserName() const override;
    TCrashMemoryStatus MemoryStatus() const override;
    std::optional<TCrashDiskSpace> DiskSpace() const override;
    // The true version: GetVersionEx reports 6.2 to programs without a
    // compatibility manifest, RtlGetVersion does not.
    TCrashOsVersion OsVersion() const override;
    std::string DefaultLanguageName() const override;
};

}  // namespace brenvik
