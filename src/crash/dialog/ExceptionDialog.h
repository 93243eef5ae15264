#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <utility>

#include "crash/options/TCrashModuleOptions.h"
#include "crash/report/CrashFailureLog.h"
#include "crash/report/CrashReport.h"
#include "crash/report/CrashTrace.h"
#include "crash/stack/CrashStackTypes.h"

namespace brenvik {

// Action code of the notification before the program is terminated or
// restarted from the exception dialog.
inline constexpr int kActionBeforeTerminate = 6;

// What the exception dialog shows and what it needs to decide its buttons.
// Every reference must outlive the call.
struct TExceptionDialogInput {
    TExceptionDialogInput(const TCrashReportParts& parts, const TCrashStackList& stack,
                          const TCrashModulesList& modules, const TCrashModuleOptions& options,
                          std::string programFileName)
        : Parts(parts), Stack(stack), Modules(modules), Options(options), ProgramFileName(std::move(programFileName)) {}

    const TCrashReportParts& Parts;
    const TCrashStackList& Stack;
    const TCrashModulesList& Modules;
    const TCrashModuleOptions& Options;
    // The program module's file name: its export-name entries stay off the
    // call-stack page.
    std::string ProgramFileName;
    // Reports made in this run, this one included: the terminate button
    // appears once they exceed TerminateErrorCount.
    int ErrorCount = 1;
    // The report repeats one already logged and is skipped: no send box.
    bool Duplicate = false;
    // Told kActionBeforeTerminate when the user pressed the terminate button;
    // clearing the flag shows the dialog again.
    std::function<void(int action, bool& terminate)> BeforeTerminate;
    // Records eeShowError when the dialog could not be shown. Optional.
    TCrashFailureLog* Failures = nullptr;
    TCrashTrace* Trace = nullptr;
    // Module holding the dialog templates and pictures; none for the executable.
    HINSTANCE ResourceModule = nullptr;
};

// The user's choices, acted on by the caller in this order: request dialog,
// log, clipboard (copy), mail (send, with the screenshot when ticked),
// termination.
struct TExceptionDialogChoices {
    bool Shown = false;  // false: never painted, the error is in the failure log
    bool SendTicked = false;
    bool ScreenshotTicked = false;
    bool CopyTicked = false;
    bool TerminateRequested = false;
};

// Shows the modal exception dialog (no owner) in its compact view and
// returns when it closes. When it cannot be shown, the error message goes to
// a service-notification message box instead and eeShowError "Cannot show
// the DialogBox window." is recorded.
TExceptionDialogChoices ShowExceptionDialog(const TExceptionDialogInput& input);

}  // namespace brenvik
