#include "crash/mail/ReportMail.h"

#include <cstdio>

#include "crash/mail/MailRecipients.h"
#include "crash/mail/MxLookup.h"
#include "crash/options/TCrashModuleOptions.h"
#include "crash/report/CrashFailureLog.h"

namespace brenvik {

TSmtpStatusTexts SmtpStatusTexts(const TCrashModuleOptions& options) {
    return {options.GetText(55), options.GetText(56), options.GetText(57), options.GetText(58)};
}

bool SendReportSmtp(TSmtpSession& session, const TSmtpReport& report, const std::vector<std::string>& dnsServers) {
    bool sent = false;
    try {
        const std::vector<std::string> recipients = SplitMailRecipients(report.Recipients);
        const std::vector<TMailAttachment> attachments = LoadMailAttachments(report.Attachments);
        for (std::size_t i = 0; i < recipients.size(); ++i) {
            if (session.Progress.Position) session.Progress.Position(0);
            if (session.Progress.Recipient) {
                session.Progress.Recipient(static_cast<int>(i + 1), static_cast<int>(recipients.size()));
            }
            TSmtpServer server = report.Server;
            if (report.Direct) {
                if (session.Progress.Status) session.Progress.Status(session.Texts.Resolving);
                server.Host = ResolveMxHost(session.Sockets, recipients[i], dnsServers, server.Timeout);
            }
            if (SendSmtpMessage(session, server, report.Sender, recipients[i], report.Subject, report.Body,
                                attachments)) {
                sent = true;
            }
        }
    } catch (...) {
        sent = false;
        RecordSmtpFailure(session.Log, std::current_exception());
    }
    if (session.Progress.Finished) session.Progress.Finished();
    return sent;
}

bool SendReportMail(const TCrashModuleOptions& options, const TReportMailJob& job, TSmtpSession& session,
                    ReportMailClient& client, const std::vector<std::string>& dnsServers) {
    bool send = true;
    session.Log.ResetLastError();
    TReportAttachmentPaths attachments;
    bool reportInBody = options.ReportInBody();
    if (!reportInBody && !job.ReportFilePath.empty()) {
        // A report file that cannot be written travels in the body instead.
        if (WriteReportTextFile(job.ReportFilePath, job.MailText)) attachments[0] = job.ReportFilePath;
        else reportInBody = true;
    }
    attachments[1] = job.ScreenshotPath;
    if (job.BeforeSend) job.BeforeSend(send);
    if (send) {
        const std::string body =
            reportInBody ? options.MailBody() + "\r\n\r\n\r\n" + job.MailText : options.MailBody();
        bool retry = false;
        do {
            const std::uint8_t mode = options.SendMode();
            if (mode == TCrashModuleOptions::kSendSmtpServer || mode == TCrashModuleOptions::kSendSmtpDirect) {
                if (options.ShowSendProgress() && session.Progress.Started) session.Progress.Started();
                const TSmtpReport report{mode == TCrashModuleOptions::kSendSmtpDirect,
                                         options.SmtpFrom(),
                                         {options.SmtpServer(), options.SmtpPort(), options.SmtpUser(),
                                          options.SmtpPassword(), 30000},
                                         options.MailRecipients(),
                                         options.MailSubject(),
                                         body,
                                         attachments};
                send = SendReportSmtp(session, report, dnsServers);
            } else {
                send = client.SendMapi(options.MailRecipients(), options.MailSubject(), body, attachments) ||
                       client.SendMailto(options.MailRecipients(), options.MailSubject(), options.MailBody(),
                                         job.MailText, job.ReproduceSteps);
            }
            retry = false;
            if (!send && job.OnFailure) job.OnFailure(retry);
        } while (retry);
        if (job.AfterSend) job.AfterSend();
    }
    if (!attachments[0].empty()) std::remove(attachments[0].c_str());
    return send;
}

}  // namespace brenvik
