#pragma once
#include "crash/mail/ReportMail.h"

namespace brenvik {

// The system's mail client for report mail: Simple MAPI, then mailto.
class Win32MapiMailClient : public ReportMailClient {
public:
    explicit Win32MapiMailClient(TCrashFailureLog& log) : log_(log) {}

    bool SendMapi(const std::string& recipients, const std::string& subject, const std::string& note,
                  const TReportAttachmentPaths& attachments) override;
    bool SendMailto(const std::string& recipients, const std::string& subject, const std::string& body,
                    const std::string& reportText, const std::string& reproduceSteps) override;

private:
    TCrashFailureLog& log_;
};

}  // namespace brenvik
