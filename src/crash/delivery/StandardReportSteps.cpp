#include "crash/delivery/StandardReportSteps.h"

#include "crash/dialog/ExceptionDialog.h"
#include "crash/dialog/RequestDialog.h"
#include "crash/dialog/SendProgress.h"
#include "crash/win32/Win32CrashSocketReportMail.h"
#include "crash/win32/Win32Mapi.h"
#include "crash/win32/Win32Screenshot.h"

namespace brenvik {
namespace {

std::string FileNamePart(const std::string& path) { return path.substr(path.find_last_of("\\/") + 1); }

bool ShowDialog(TCrashlog& facility, TReportStepContext& context, TReportChoices& choices, bool& terminate) {
    TExceptionDialogInput input(context.Parts, *context.Record.CallStack, *context.Record.ModulesList,
                                context.Options, ModuleFileName(nullptr));
    input.ErrorCount = context.ErrorCount;
    input.Duplicate = context.Duplicate;
    input.BeforeTerminate = [&context](int action, bool& proceed) { proceed = context.Notify(action); };
    input.Failures = &context.Failures;
    input.Trace = &facility.Trace;
    const TExceptionDialogChoices shown = ShowExceptionDialog(input);
    choices.Send = shown.SendTicked;
    choices.Screenshot = shown.ScreenshotTicked;
    choices.Copy = shown.CopyTicked;
    terminate = shown.TerminateRequested;
    return shown.Shown;
}

// The progress dialog follows the conversation while the report is mailed.
TMailProgress ProgressShownIn(TSendProgress& dialog) {
    TMailProgress progress;
    progress.Recipient = [&dialog](int current, int count) { dialog.SetRecipient(current, count); };
    progress.Status = [&dialog](const std::string& status) { dialog.SetSendStatus(status); };
    progress.Position = [&dialog](int percent) { dialog.SetSendProgress(percent); };
    progress.Finished = [&dialog] { dialog.Close(); };
    return progress;
}

void SendReport(TCrashlog& facility, TReportStepContext& context, const std::string& screenshotFile) {
    TReportMailJob job;
    job.MailText = context.Parts.MailText;
    job.ReproduceSteps = context.ReproduceSteps;
    job.ReportFilePath = MailTemporaryFolder() + FileNamePart(context.Options.OutputLogFile());
    job.ScreenshotPath = screenshotFile;
    job.BeforeSend = [&context](bool& send) { send = context.Notify(caBeforeSendMail); };
    job.OnFailure = [&context](bool& retry) { retry = context.NotifyError(caAfterSendMail); };
    job.AfterSend = [&context] { context.Notify(caAfterSendMail); };

    TSendProgress dialog;
    TMailProgress progress = ProgressShownIn(dialog);
    progress.Started = [&] { dialog.Start(context.Options, facility.ReportHost.InteractiveGui); };
    context.Failures.Hooks().SmtpProgressOpen = [&dialog] { return dialog.IsOpen(); };
    SendReportMailWin32(context.Options, job, context.Failures, progress);
    dialog.Close();
    context.Failures.Hooks().SmtpProgressOpen = nullptr;
}

}  // namespace

void InstallStandardReportSteps(TCrashlog& facility) {
    facility.Steps.ShowExceptionDialog = [&facility](TReportStepContext& context, TReportChoices& choices,
                                                     bool& terminate) {
        return ShowDialog(facility, context, choices, terminate);
    };
    facility.Steps.AskReproduceSteps = [&facility](TReportStepContext& context) {
        return ShowRequestDialog(context.Options, facility.ReportHost.InteractiveGui, context.Duplicate);
    };
    facility.Steps.WriteScreenshot = WriteScreenshotPng;
    facility.Steps.SendReportMail = [&facility](TReportStepContext& context, const std::string& screenshotFile) {
        SendReport(facility, context, screenshotFile);
    };
    facility.Failures.Hooks().MailFile = [&facility](const std::string& fileName, const std::string& address,
                                                     const std::string& subject) {
        return SendInternalErrorMapi(fileName, address, subject, facility.Failures);
    };
}

}  // namespace brenvik
