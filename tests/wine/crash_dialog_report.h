#pragma once
#include <memory>
#include <string>

#include "crash/report/CrashFailureLog.h"
#include "crash/report/CrashReport.h"
#include "crash/win32/Win32ModulesList.h"
#include "crash/win32/Win32ProcessMemory.h"

namespace brenvik::dialogtest {

// A real report of this test process, taken where BuildReportHere runs: its
// call stack resolves through the program's own "CLDATA" block.
struct TDialogTestReport {
    Win32ModulesList Modules;
    TCrashStackList Stack;
    TCrashReportParts Parts;
    std::string ProgramFileName;
};

std::unique_ptr<TDialogTestReport> BuildReportHere(const TCrashModuleOptions& options, const std::string& message);

// A failure log of its own for one test.
struct TDialogTestFailures {
    TDialogTestFailures();
    Win32ProcessMemory Memory;
    TCrashTrace Trace;
    TCrashFailureLog Log;
};

// Options with the send box shown or not.
std::unique_ptr<TCrashModuleOptions> DialogTestOptions(std::uint8_t sendMode, bool attachScreenshot);

}  // namespace brenvik::dialogtest
