#include "crash/report/CrashReport.h"

namespace brenvik {

TCrashReportParts BuildCrashReport(const TCrashExceptionInfo& exception,
                                   const std::optional<TCrashRegisters>& registers, const TCrashStackList& stack,
                                   const TCrashModulesList& modules, const TCrashModuleOptions& options,
                                   const CrashSystemInfo& system, const ProcessMemory& memory,
                                   const TCrashReportHost& host) {
    TCrashReportParts parts;
    parts.HeaderText = BuildReportHeader(exception, options, system, host);
    parts.CallStackAndModulesText = CallStackAndModulesText(stack, modules, options, host.AddressDigits);
    parts.CpuText = CpuText(registers, memory, options, host.AddressDigits);
    parts.ReportText = parts.HeaderText + "\r\n" + parts.CallStackAndModulesText + "\r\n\r\n" + parts.CpuText;
    parts.MailText = parts.ReportText;
    parts.ErrorMessageText = ErrorMessageText(exception.Message);
    parts.General = ExceptionItems(exception, host.AddressDigits);
    return parts;
}

}  // namespace brenvik
