#pragma once
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "crash/mail/ReportAttachments.h"
#include "crash/mail/SmtpMessage.h"

namespace brenvik {

class TCrashModuleOptions;

// The system's mail client: Simple MAPI and the shell's mailto handler.
class ReportMailClient {
public:
    virtual ~ReportMailClient() = default;
    // Failures are recorded as eeEmailMAPIError.
    virtual bool SendMapi(const std::string& recipients, const std::string& subject, const std::string& note,
                          const TReportAttachmentPaths& attachments) = 0;
    // Failures are recorded as eeEmailShellError.
    virtual bool SendMailto(const std::string& recipients, const std::string& subject, const std::string& body,
                            const std::string& reportText, const std::string& reproduceSteps) = 0;
};

struct TSmtpReport {
    bool Direct = false;  // deliver to each recipient's MX host
    std::string Sender{};
    TSmtpServer Server{};
    std::string Recipients{};
    std::string Subject{};
    std::string Body{};
    TReportAttachmentPaths Attachments{};
};

// One conversation per recipient (split at "," and ";"); in direct mode the
// host is each recipient's MX host, looked up through the DNS servers. True
// when at least one recipient got the mail. An exception ends the loop and is
// recorded as eeEmailSMTPError; the progress display is finished in any case.
bool SendReportSmtp(TSmtpSession& session, const TSmtpReport& report, const std::vector<std::string>& dnsServers);

// The status texts of the progress display, from the options.
TSmtpStatusTexts SmtpStatusTexts(const TCrashModuleOptions& options);

// A report to mail, with its hooks into the exception's notifications.
struct TReportMailJob {
    std::string MailText;
    std::string ReproduceSteps;
    std::string ReportFilePath;   // where the text goes when it is attached (temporary folder + log file name)
    std::string ScreenshotPath;   // empty when no screenshot is offered
    std::function<void(bool& send)> BeforeSend;   // may clear the send flag
    std::function<void(bool& retry)> OnFailure;   // may ask for another attempt
    std::function<void()> AfterSend;
};

// Mails the report the way the options' SendMode says: 2 and 3 over SMTP,
// otherwise MAPI and then mailto. The temporary report file exists only
// during the call.
bool SendReportMail(const TCrashModuleOptions& options, const TReportMailJob& job, TSmtpSession& session,
                    ReportMailClient& client, const std::vector<std::string>& dnsServers);

}  // namespace brenvik
