#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace brenvik {

// A calendar moment as the system clock gives it (local time).
struct TCrashDateTime {
    int Year = 0, Month = 1, Day = 1;
    int DayOfWeek = 0;  // 0 Sunday .. 6 Saturday
    int Hour = 0, Minute = 0, Second = 0;
};

enum class TCrashOsPlatform : std::uint8_t { Other, Windows9x, WindowsNT };

struct TCrashOsVersion {
    TCrashOsPlatform Platform = TCrashOsPlatform::Other;
    std::uint32_t Major = 0, Minor = 0, Build = 0;
    std::string ServicePack;  // as the system gives it, untrimmed
};

struct TCrashMemoryStatus {
    std::uint64_t TotalPhysical = 0;
    std::uint64_t AvailablePhysical = 0;
};

struct TCrashDiskSpace {
    std::uint64_t Total = 0;
    std::uint64_t FreeToCaller = 0;
};

// Everything the report asks of the machine and the process, so the report
// text can be built and checked away from Windows.
class CrashSystemInfo {
public:
    virtual ~CrashSystemInfo() = default;

    virtual TCrashDateTime Now() const = 0;
    // Minutes to add to local time to get UTC (-60 for Central Europe in winter).
    virtual std::int32_t TimeZoneBias() const = 0;

    virtual std::string MainModuleFileName() const = 0;
    virtual std::string MainModuleDescription() const = 0;  // empty when it has none
    virtual std::string MainModuleVersion() const = 0;      // "a.b.c.d", empty when absent
    virtual std::vector<std::string> CommandLineParameters() const = 0;  // without the program

    virtual std::string ForegroundWindowClass() const = 0;
    virtual std::string ForegroundWindowText() const = 0;

    virtual std::string ComputerName() const = 0;
    virtual std::string UserName() const = 0;
    virtual TCrashMemoryStatus MemoryStatus() const = 0;
    // The drive that holds the facility's module; none when the query is
    // unavailable or fails.
    virtual std::optional<TCrashDiskSpace> DiskSpace() const = 0;
    virtual TCrashOsVersion OsVersion() const = 0;
    virtual std::string DefaultLanguageName() const = 0;
};

}  // namespace brenvik
