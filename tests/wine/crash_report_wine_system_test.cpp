// The report's system data read from Windows, and the log file under an
// 8-bit file name, inside the test session's own prefix.
#include <gtest/gtest.h>
#include <windows.h>

#include <regex>

#include "crash/report/CrashReport.h"
#include "crash/report/TLogFile.h"
#include "crash/win32/Win32ProcessMemory.h"
#include "crash/win32/Win32SystemInfo.h"

namespace brenvik {
namespace {

TEST(CrashReportWineSystem, ValuesArePlausibleAndAgreeWithEachOther) {
    const Win32SystemInfo system;
    const TCrashDateTime now = system.Now();
    EXPECT_GE(now.Year, 2024);
    EXPECT_TRUE(now.Month >= 1 && now.Month <= 12 && now.Day >= 1 && now.Day <= 31);
    EXPECT_TRUE(now.DayOfWeek >= 0 && now.DayOfWeek <= 6);
    EXPECT_TRUE(system.TimeZoneBias() >= -840 && system.TimeZoneBias() <= 720);
    EXPECT_TRUE(std::regex_match(CrashDateText(now, system.TimeZoneBias()),
                                 std::regex(R"([A-Z][a-z]{2}, \d{1,2} [A-Z][a-z]{2} \d{4} \d\d:\d\d:\d\d [+-]\d{4})")))
        << CrashDateText(now, system.TimeZoneBias());

    char computer[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD length = sizeof computer;
    ASSERT_TRUE(GetComputerNameA(computer, &length));
    EXPECT_EQ(system.ComputerName(), computer);
    EXPECT_FALSE(system.UserName().empty());

    const TCrashMemoryStatus memory = system.MemoryStatus();
    EXPECT_GT(memory.TotalPhysical, 64ull << 20);
    EXPECT_GT(memory.AvailablePhysical, 0u);
    EXPECT_LE(memory.AvailablePhysical, memory.TotalPhysical);
    const std::optional<TCrashDiskSpace> disk = system.DiskSpace();
    ASSERT_TRUE(disk.has_value());
    EXPECT_GT(disk->Total, 0u);
    EXPECT_LE(disk->FreeToCaller, disk->Total);

    const TCrashOsVersion os = system.OsVersion();
    EXPECT_EQ(os.Platform, TCrashOsPlatform::WindowsNT);
    EXPECT_GT(os.Build, 0u);
    EXPECT_FALSE(OperatingSystemName(os).empty()) << os.Major << "." << os.Minor << "." << os.Build;
    EXPECT_FALSE(system.DefaultLanguageName().empty());

    const std::string exe = system.MainModuleFileName();
    ASSERT_GT(exe.size(), 4u);
    EXPECT_EQ(_stricmp(exe.substr(exe.size() - 4).c_str(), ".exe"), 0) << exe;
    // The test program carries no version resource.
    EXPECT_EQ(system.MainModuleVersion(), "");
    EXPECT_EQ(system.MainModuleDescription(), "");
}

TEST(CrashReportWineSystem, ForegroundWindowIsNamedByItsClass) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "BrenvikReportForeground";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowA("BrenvikReportForeground", "Caption\tof the form", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0,
                                0, 200, 100, nullptr, nullptr, windowClass.hInstance, nullptr);
    ASSERT_NE(window, nullptr);
    SetForegroundWindow(window);
    const Win32SystemInfo system;
    if (GetForegroundWindow() == window) {
        EXPECT_EQ(system.ForegroundWindowClass(), "BrenvikReportForeground");
        EXPECT_EQ(system.ForegroundWindowText(), "Caption\tof the form");
        TCrashModuleOptions options(system.MainModuleFileName(), false);
        const std::string header = BuildReportHeader({}, options, system, {});
        EXPECT_NE(header.find(": Caption of the form\r\n"), std::string::npos) << header;
    }
    DestroyWindow(window);
    UnregisterClassA("BrenvikReportForeground", windowClass.hInstance);
}

TEST(CrashReportWineSystem, WholeReportFromTheRunningProcess) {
    const Win32SystemInfo system;
    const Win32ProcessMemory memory;
    TCrashModuleOptions options(system.MainModuleFileName(), false);
    volatile std::uint8_t stack[256] = {};
    TCrashRegisters registers;
    registers.Esp = reinterpret_cast<CrashAddress>(&stack[0]);
    registers.Eip = reinterpret_cast<CrashAddress>(&GetTickCount);
    TCrashExceptionInfo exception;
    exception.Address = registers.Eip;
    exception.ModuleFileName = system.MainModuleFileName();
    exception.Message = "Sample";
    exception.Time = system.Now();
    const TCrashReportParts parts = BuildCrashReport(exception, registers, {}, {}, options, system, memory, {});
    for (const char* section : {"Application:\r\n", "Exception:\r\n", "Computer:\r\n", "Operating System:\r\n",
                                "Call Stack Information:\r\n", "Modules Information:\r\n", "Registers:\r\n"})
        EXPECT_NE(parts.ReportText.find(section), std::string::npos) << section;
    // Sixteen dump lines after the dash line of the CPU block.
    const std::size_t dump = parts.CpuText.find("-\r\n", parts.CpuText.find("Memory Dump:")) + 3;
    std::size_t lines = 0;
    for (std::size_t at = parts.CpuText.find("\r\n", dump); at != std::string::npos;
         at = parts.CpuText.find("\r\n", at + 2))
        ++lines;
    EXPECT_EQ(lines, 16u);

    registers.Eip = 0x10;  // never mapped
    EXPECT_EQ(MemoryDumpText(registers, memory), "");
}

// A folder name with letters outside ASCII, in the ANSI code page.
std::string AnsiFolderName() {
    const std::string candidate = "brenvik_log_\xE9\xF3_" + std::to_string(GetCurrentProcessId());
    wchar_t wide[MAX_PATH];
    const int converted = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, candidate.c_str(), -1, wide, MAX_PATH);
    return converted > 0 ? candidate : "brenvik_log_" + std::to_string(GetCurrentProcessId());
}

TEST(CrashReportWineLog, LogFileUnderAnAnsiName) {
    char temp[MAX_PATH];
    ASSERT_GT(GetTempPathA(MAX_PATH, temp), 0u);
    const std::string folder = std::string(temp) + AnsiFolderName();
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    const std::string path = folder + "\\Raport\xF3.clog";

    const std::string entry = "Crashlog 4.5.4\r\n\r\nException:\r\n---\r\n  2.2 Address: 00401000\r\n";
    {
        TLogFile log(path);
        EXPECT_TRUE(log.Entries().empty());
        log.Add(entry, 32);
        log.Add(entry, 32);
        log.Save();
    }
    // The file carries the name the system makes of the 8-bit name.
    wchar_t widePath[MAX_PATH];
    ASSERT_GT(MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, widePath, MAX_PATH), 0);
    HANDLE file = CreateFileW(widePath, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    char bytes[512];
    DWORD read = 0;
    ReadFile(file, bytes, sizeof bytes, &read, nullptr);
    CloseHandle(file);
    EXPECT_EQ(std::string(bytes, read), entry + "\r\n\r\n\r\n\r\n\r\n" + entry + "\r\n\r\n\r\n\r\n\r\n");

    const TLogFile reread(path);
    EXPECT_EQ(reread.Entries().size(), 2u);
    EXPECT_TRUE(reread.IsDuplicate({"2.2"}, {"00401000"}));

    EXPECT_TRUE(DeleteFileA(path.c_str()));
    EXPECT_TRUE(RemoveDirectoryA(folder.c_str()));
}

}  // namespace
}  // namespace brenvik
