#include "crash/web/HostPresentation.h"

namespace brenvik {

namespace {
TReportShown Outcome(bool shown) { return shown ? TReportShown::Shown : TReportShown::Failed; }
}  // namespace

bool IsWebHost(const TReportHost& host) {
    return host.IntraWeb.Present() || DetectWebHost(host.System) != TWebHostKind::None;
}

bool IsInteractiveWindowedProgram(const TReportHost& host) { return !IsWebHost(host) && !host.System.IsConsole(); }

TReportShown ShowReportOnHost(const TReportHost& host, const std::string& title, const std::string& message,
                              const std::string& report, TCrashFailureLog& failures) {
    if (host.IntraWeb.Present())
        return Outcome(ShowIntraWebError(host.IntraWeb, title, PlainErrorText(message, report), failures));
    if (DetectWebHost(host.System) != TWebHostKind::None)
        return Outcome(host.Page.SendWebErrorPage(WebErrorPageHtml(title, message, report), host.FailedThread));
    if (!host.System.IsConsole()) return TReportShown::NeedsDialog;
    if (host.System.WriteStandardOutput(ConsoleErrorLine(message, report))) return TReportShown::Shown;
    TCrashFailure failure;
    failure.Message = "Cannot write to standard output.";
    failures.StepFailed(eeShowError, "Console", failure);
    return TReportShown::Failed;
}

}  // namespace brenvik
