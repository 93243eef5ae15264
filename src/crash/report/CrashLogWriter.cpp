#include "crash/report/CrashLogWriter.h"

#include "crash/report/TLogFile.h"

namespace brenvik {

bool IsDuplicateError(const TCrashModuleOptions& options, const TCrashExceptionItems& items) {
    if ((options.ReportFlags() & TCrashModuleOptions::kSkipDuplicates) == 0) return false;
    try {
        const TLogFile log(options.OutputLogFile());
        return log.IsDuplicate({"2.2", "2.3", "2.4", "2.5"}, {items.Address, items.Module, items.Type, items.Message});
    } catch (const ECrashLogError&) {
        // An unreadable log proves nothing; the log step reports the failure.
        return false;
    }
}

void WriteCrashLog(TCrashReportParts& parts, const TCrashModuleOptions& options, bool duplicate,
                   const std::string& reproduceSteps, const TCrashLogNotifications& notifications,
                   TCrashFailureLog& failures) {
    const bool saving = options.SaveLogFile();
    failures.ResetLastError();
    bool proceed = true;
    if (saving && notifications.Action) notifications.Action(kActionBeforeSaveLog, proceed);
    // A failed attempt clears `proceed` for the closing notification; a retry
    // still saves unless the opening notification declined.
    const bool saveAllowed = saving && proceed;

    // The steps join the report once, however often the user retries the save.
    if (!duplicate && (options.ReportFlags() & TCrashModuleOptions::kAskReproduceSteps) != 0 &&
        !reproduceSteps.empty()) {
        parts.ReportText += "\r\n" + options.GetText(59) + ":\r\n" + std::string(40, '-') + "\r\n" + reproduceSteps;
        parts.MailText = parts.ReportText;
    }

    bool retry = false;
    do {
        retry = false;
        try {
            TLogFile log(options.OutputLogFile());
            if (!duplicate) log.Add(parts.ReportText, options.MaxLogEntries());
            if (options.SendWholeLog()) parts.MailText = log.Text();
            if (saveAllowed) log.Save();
        } catch (...) {
            failures.StepFailed(eeLogError, "Log", DescribeFailure(std::current_exception()));
            proceed = false;
            if (saving && notifications.ActionError) notifications.ActionError(kActionErrorSaveLog, retry);
        }
    } while (retry);

    if (saving && notifications.Action) notifications.Action(kActionAfterSaveLog, proceed);
}

}  // namespace brenvik
