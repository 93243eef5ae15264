// A whole report of the running process, as the facility builds it for an
// exception: modules refreshed, the call stack found in about 64 KB of stack
// below 30 frames of this program, and the report text. The program carries
// its own "CLDATA" block, so its frames resolve to files and lines. Prints
// "<figure> <value>" lines.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <vector>

#include "Measure.h"
#include "crash/report/CrashReport.h"
#include "crash/win32/Win32ContextRegisters.h"
#include "crash/win32/Win32CrashModule.h"
#include "crash/win32/Win32ModulesList.h"
#include "crash/win32/Win32ProcessMemory.h"
#include "crash/win32/Win32SystemInfo.h"

using namespace brenvik;

namespace {

constexpr int kFrames = 30;
constexpr int kFrameBytes = 2200;  // 30 frames of this: a little over 64 KB
constexpr int kReports = 21;

struct Measurement {
    std::vector<double> Milliseconds;
    std::size_t StackEntries = 0, Modules = 0, ReportBytes = 0;
    CrashAddress StackBytes = 0;
};

CrashAddress StackTop() {
    int local = 0;
    MEMORY_BASIC_INFORMATION region{};
    VirtualQuery(&local, &region, sizeof region);
    return reinterpret_cast<CrashAddress>(region.BaseAddress) + region.RegionSize;
}

__attribute__((noinline)) void ReportFromHere(Win32ModulesList& modules, Measurement& measurement) {
    CONTEXT context{};
    CaptureCallerContext(context);
    const TCrashRegisters registers = RegistersFromContext(context);
    Win32SystemInfo system;
    Win32ProcessMemory memory;
    TCrashModuleOptions options("full_report_bench.exe", false);
    TCrashReportHost host;
    host.StartTime = system.Now();
    const CrashAddress top = StackTop();
    measurement.StackBytes = top - registers.Esp;
    for (int i = 0; i < kReports; ++i) {
        const auto start = std::chrono::steady_clock::now();
        modules.Refresh();
        TCrashStackList stack = modules.BuildCallStack(registers.Eip - 1, registers.Esp, top);
        TCrashExceptionInfo exception;
        exception.Address = registers.Eip;
        if (const TCrashModuleInfo* module = modules.ModuleAt(registers.Eip)) exception.ModuleFileName = module->FileName;
        exception.ClassName = "EAccessViolation";
        exception.Message = "Access violation at address 00000000";
        exception.Time = system.Now();
        TCrashReportParts parts =
            BuildCrashReport(exception, registers, stack, modules.Modules(), options, system, memory, host);
        const std::chrono::duration<double, std::milli> spent = std::chrono::steady_clock::now() - start;
        measurement.Milliseconds.push_back(spent.count());
        measurement.StackEntries = stack.size();
        measurement.Modules = modules.Modules().size();
        measurement.ReportBytes = parts.ReportText.size();
    }
}

// Each frame holds a buffer the compiler cannot drop, so the scan has real
// stack to read between the return addresses.
__attribute__((noinline)) void Descend(int depth, Win32ModulesList& modules, Measurement& measurement) {
    volatile char filler[kFrameBytes];
    filler[0] = static_cast<char>(depth);
    if (depth > 1)
        Descend(depth - 1, modules, measurement);
    else
        ReportFromHere(modules, measurement);
    filler[kFrameBytes - 1] = filler[0];
}

}  // namespace

int main() {
    Win32ModulesList modules;
    Measurement measurement;
    const auto start = std::chrono::steady_clock::now();
    Descend(kFrames, modules, measurement);
    const std::chrono::duration<double, std::milli> total = std::chrono::steady_clock::now() - start;
    std::printf("# %zu stack entries, %zu modules, %zu report bytes, %zu stack bytes scanned\n",
                measurement.StackEntries, measurement.Modules, measurement.ReportBytes,
                static_cast<std::size_t>(measurement.StackBytes));
    std::printf("# per report:");
    for (double ms : measurement.Milliseconds) std::printf(" %.2f", ms);
    // The first report also decodes the program's debug information and
    // builds its address index, which happens once per run.
    std::printf("\nfull_report_first_ms %.2f\n", measurement.Milliseconds.front());
    std::vector<double> later(measurement.Milliseconds.begin() + 1, measurement.Milliseconds.end());
    std::printf("full_report_ms %.2f\n", Median(later));
    std::printf("# all reports together: %.1f ms\n", total.count());
    return measurement.StackEntries >= kFrames ? 0 : 1;
}
