#pragma once
#include <functional>
#include <string>

#include "crash/intercept/CrashNotifications.h"
#include "crash/report/CrashFailureLog.h"
#include "crash/report/CrashReport.h"

namespace brenvik {

// What the user chose in the exception dialog.
struct TReportChoices {
    bool Send = false;        // mail the report
    bool Screenshot = false;  // attach the screenshot
    bool Copy = false;        // put the report on the clipboard
};

// Everything a presentation step may read about the report in progress.
struct TReportStepContext {
    TCrashExceptionRecord& Record;
    TCrashReportParts& Parts;
    TCrashModuleOptions& Options;
    TCrashFailureLog& Failures;
    bool Duplicate = false;
    int ErrorCount = 0;
    std::string ReproduceSteps;  // what the user described, once asked
    // Runs the action notification with the given code; false when a handler
    // cleared the proceed flag.
    std::function<bool(int action)> Notify;
    // Runs the action-error notification; true when a handler asks to retry.
    std::function<bool(int action)> NotifyError;
};

// The presentation and delivery steps that plug into the report pipeline.
// An empty step is skipped; the windowed fallback for showing is a message
// box, and no request text, screenshot or mail is produced without a step.
struct TReportSteps {
    // False when the dialog could not be shown (the step records why).
    std::function<bool(TReportStepContext& context, TReportChoices& choices, bool& terminate)> ShowExceptionDialog;
    // The steps the user described; empty when nothing was asked or typed.
    std::function<std::string(TReportStepContext& context)> AskReproduceSteps;
    std::function<bool(const std::string& fileName)> WriteScreenshot;
    std::function<void(TReportStepContext& context, const std::string& screenshotFile)> SendReportMail;
};

}  // namespace brenvik
