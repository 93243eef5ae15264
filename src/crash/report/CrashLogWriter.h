#pragma once
#include <functional>
#include <string>

#include "crash/options/TCrashModuleOptions.h"
#include "crash/report/CrashFailureLog.h"
#include "crash/report/CrashReport.h"

namespace brenvik {

// Action codes of the notifications around the log step.
inline constexpr int kActionBeforeSaveLog = 2;
inline constexpr int kActionAfterSaveLog = 3;
// Action-error code of a failed log save.
inline constexpr int kActionErrorSaveLog = 3;

// The host program's notifications, handed the action code; an empty
// function is a notification nobody asked for.
struct TCrashLogNotifications {
    std::function<void(int action, bool& proceed)> Action;
    std::function<void(int action, bool& retry)> ActionError;
};

// True when the options skip repeated errors and the log already holds one
// with the same address, module, type and message.
bool IsDuplicateError(const TCrashModuleOptions& options, const TCrashExceptionItems& items);

// Adds the report (with the steps the user described) to the log file and
// saves it; a failure is kept as the last delivery error. Updates the
// report and mail texts of `parts`.
void WriteCrashLog(TCrashReportParts& parts, const TCrashModuleOptions& options, bool duplicate,
                   const std::string& reproduceSteps, const TCrashLogNotifications& notifications,
                   TCrashFailureLog& failures);

}  // namespace brenvik
