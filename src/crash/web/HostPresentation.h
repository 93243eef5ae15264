#pragma once
#include <cstdint>
#include <string>

#include "crash/report/CrashFailureLog.h"
#include "crash/web/IntraWebError.h"
#include "crash/web/WebErrorPage.h"

namespace brenvik {

// Where the report pipeline shows a report when no dialog can be shown.
struct TReportHost {
    TWebHostSystem& System;
    TWebErrorPage& Page;
    const TIntraWebHooks& IntraWeb;
    std::uint32_t FailedThread = 0;  // whose request gets the web page
};

bool IsWebHost(const TReportHost& host);
// Neither a web host nor a console program: the dialogs may be shown.
bool IsInteractiveWindowedProgram(const TReportHost& host);

enum class TReportShown { NeedsDialog, Shown, Failed };

// Shows the report as the host allows it: a web page, a message of the web
// application, or one line on standard output. NeedsDialog leaves it to the
// exception dialog.
TReportShown ShowReportOnHost(const TReportHost& host, const std::string& title, const std::string& message,
                              const std::string& report, TCrashFailureLog& failures);

}  // namespace brenvik
