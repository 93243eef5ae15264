#include "crash/win32/Win32MapiMailClient.h"

#include "crash/win32/Win32Mailto.h"
#include "crash/win32/Win32Mapi.h"

namespace brenvik {

bool Win32MapiMailClient::SendMapi(const std::string& recipients, const std::string& subject, const std::string& note,
                                   const TReportAttachmentPaths& attachments) {
    return SendReportMapi(recipients, subject, note, attachments, log_);
}

bool Win32MapiMailClient::SendMailto(const std::string& recipients, const std::string& subject,
                                     const std::string& body, const std::string& reportText,
                                     const std::string& reproduceSteps) {
    return SendReportMailto(recipients, subject, body, reportText, reproduceSteps, log_);
}

}  // namespace brenvik
