#include "crash_dialog_report.h"

#include <windows.h>

#include "crash/win32/Win32ContextRegisters.h"
#include "crash/win32/Win32SystemInfo.h"

namespace brenvik::dialogtest {

namespace {

CrashAddress StackTop() {
    int local = 0;
    MEMORY_BASIC_INFORMATION region{};
    VirtualQuery(&local, &region, sizeof region);
    return reinterpret_cast<CrashAddress>(region.BaseAddress) + region.RegionSize;
}

std::string ProgramFileName() {
    char name[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, name, MAX_PATH);
    return name;
}

}  // namespace

__attribute__((noinline)) std::unique_ptr<TDialogTestReport> BuildReportHere(const TCrashModuleOptions& options,
                                                                             const std::string& message) {
    CONTEXT context{};
    CaptureCallerContext(context);
    const TCrashRegisters registers = RegistersFromContext(context);
    auto report = std::make_unique<TDialogTestReport>();
    report->ProgramFileName = ProgramFileName();
    report->Modules.Refresh();
    report->Stack = report->Modules.BuildCallStack(registers.Eip - 1, registers.Esp, StackTop());

    Win32SystemInfo system;
    Win32ProcessMemory memory;
    TCrashReportHost host;
    host.StartTime = system.Now();
    TCrashExceptionInfo exception;
    exception.Address = registers.Eip;
    if (const TCrashModuleInfo* module = report->Modules.ModuleAt(registers.Eip))
        exception.ModuleFileName = module->FileName;
    exception.ClassName = "EAccessViolation";
    exception.Message = message;
    exception.Time = system.Now();
    report->Parts =
        BuildCrashReport(exception, registers, report->Stack, report->Modules.Modules(), options, system, memory, host);
    return report;
}

TDialogTestFailures::TDialogTestFailures()
    : Trace(ProgramFileName(), [] { return Win32SystemInfo().Now(); }), Log(Trace, Memory) {}

std::unique_ptr<TCrashModuleOptions> DialogTestOptions(std::uint8_t sendMode, bool attachScreenshot) {
    auto options = std::make_unique<TCrashModuleOptions>("crash_dialog_tests.exe", false);
    options->SetSendMode(sendMode);
    options->SetAttachScreenshot(attachScreenshot);
    return options;
}

}  // namespace brenvik::dialogtest
