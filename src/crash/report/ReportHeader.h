#pragma once
#include <optional>
#include <string>

#include "crash/options/TCrashModuleOptions.h"
#include "crash/report/CrashSystemInfo.h"
#include "crash/report/ReportFormat.h"

namespace brenvik {

// What the interception recorded about the exception being reported.
struct TCrashExceptionInfo {
    CrashAddress Address = 0;
    std::string ModuleFileName;  // the module that holds the address
    std::string ClassName;       // empty when unknown
    // None when the thrown object is not of the program's exception base class.
    std::optional<std::string> Message;
    // The window that had the keyboard focus at the raise; password text already masked.
    std::string FocusClassName;
    std::string FocusText;
    TCrashDateTime Time;  // when the exception was processed
};

// Facts about the reporting process that do not change between exceptions.
struct TCrashReportHost {
    TCrashDateTime StartTime;  // when the facility started
    // The active-window lines mean nothing in a web module or a console program.
    bool InteractiveGui = true;
    int AddressDigits = kAddressDigits;
};

// The four values of the exception section, also the keys that recognise a
// repeated error in the log.
struct TCrashExceptionItems {
    std::string Address;
    std::string Module;
    std::string Type;
    std::string Message;
};

TCrashExceptionItems ExceptionItems(const TCrashExceptionInfo& exception, int addressDigits);
// The message as the dialog's compact view shows it: full stop ensured,
// line breaks kept.
std::string ErrorMessageText(const std::optional<std::string>& message);

// Empty for a version the table does not know.
std::string OperatingSystemName(const TCrashOsVersion& version);

// "Crashlog 4.5.4", an empty line, and the five sections of numbered items.
std::string BuildReportHeader(const TCrashExceptionInfo& exception, const TCrashModuleOptions& options,
                              const CrashSystemInfo& system, const TCrashReportHost& host);

}  // namespace brenvik
