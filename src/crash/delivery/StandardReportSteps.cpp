#include "crash/delivery/StandardReportSteps.h"

#include "platform/Win32CrashSocketReportMail.h"
#include "platform/Win32Mapi.h"
#include "platform/Win32Screenshot.h"

namespace brenvik {
namespace {

std::string FileNamePart(const std::string& path) { return path.substr(path.find_last_of("\\/") + 1); }

void SendReport(TReportStepContext& context, const std::string& screenshotFile) {
    TReportMailJob job;
    job.MailText = context.Parts.MailText;
    job.ReproduceSteps = context.ReproduceSteps;
    job.ReportFilePath = MailTemporaryFolder() + FileNamePart(context.Options.OutputLogFile());
    job.ScreenshotPath = screenshotFile;
    job.BeforeSend = [&context](bool& send) { send = context.Notify(caBeforeSendMail); };
    job.OnFailure = [&context](bool& retry) { retry = context.NotifyError(caAfterSendMail); };
    job.AfterSend = [&context] { context.Notify(caAfterSendMail); };
    SendReportMailWin32(context.Options, job, context.Failures, TSendProgress{});
}

}  // namespace

void InstallStandardReportSteps(TCrashlog& facility) {
    facility.Steps.WriteScreenshot = WriteScreenshotPng;
    facility.Steps.SendReportMail = SendReport;
    facility.Failures.Hooks().MailFile = [&facility](const std::string& fileName, const std::string& address,
                                                     const std::string& subject) {
        return SendInternalErrorMapi(fileName, address, subject, facility.Failures);
    };
}

}  // namespace brenvik
