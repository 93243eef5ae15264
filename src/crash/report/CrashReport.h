#pragma once
#include <optional>
#include <string>

#include "crash/report/ReportCpu.h"
#include "crash/report/ReportHeader.h"
#include "crash/report/ReportTables.h"

namespace brenvik {

// The texts of one processed exception, shown, logged and mailed by the
// later steps.
struct TCrashReportParts {
    std::string HeaderText;
    std::string CpuText;
    std::string CallStackAndModulesText;
    std::string ReportText;
    std::string MailText;  // the report until the log or the mail step changes it
    std::string ErrorMessageText;
    TCrashExceptionItems General;  // address, module, type and message for the dialog
};

// Composes every part of the report from what the interception gathered.
TCrashReportParts BuildCrashReport(const TCrashExceptionInfo& exception,
                                   const std::optional<TCrashRegisters>& registers, const TCrashStackList& stack,
                                   const TCrashModulesList& modules, const TCrashModuleOptions& options,
                                   const CrashSystemInfo& system, const ProcessMemory& memory,
                                   const TCrashReportHost& host);

}  // namespace brenvik
