#pragma once
#include <string>

#include "crash/mail/ReportAttachments.h"

namespace brenvik {

class TCrashFailureLog;

// Sends the mail through Simple MAPI of the default mail client (its DLLPath,
// else mapi32.dll), without the compose dialog. Failures are recorded as
// eeEmailMAPIError; a recipient that does not resolve gives false silently.
bool SendReportMapi(const std::string& recipients, const std::string& subject, const std::string& note,
                    const TReportAttachmentPaths& attachments, TCrashFailureLog& log);

// The library's own failure report: the trace file to its maker's address.
bool SendInternalErrorMapi(const std::string& traceFile, const std::string& address, const std::string& subject,
                           TCrashFailureLog& log);

}  // namespace brenvik
