#pragma once
#include <string>

#include "crash/mail/ReportMail.h"

namespace brenvik {

class TCrashModuleOptions;

// The "Date:" header value for now: local time, zone from the standard bias.
std::string Win32MailDate();

// The system's temporary folder, ending with a backslash; where the report's
// text file goes while it is mailed.
std::string MailTemporaryFolder();

// SendReportMail on Windows: Windows Sockets, the system's DNS servers and
// the fallback, Simple MAPI and mailto, the status texts of the options.
bool SendReportMailWin32(const TCrashModuleOptions& options, const TReportMailJob& job, TCrashFailureLog& log,
                         const TMailProgress& progress);

}  // namespace brenvik
