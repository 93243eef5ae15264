#include "crash/win32/Win32CrashSocketReportMail.h"

#include <winsock2.h>
#include <windows.h>

#include "crash/mail/MailDate.h"
#include "crash/options/TCrashModuleOptions.h"
#include "crash/win32/Win32CrashSocketApi.h"
#include "crash/win32/Win32MapiMailClient.h"

namespace brenvik {

std::string Win32MailDate() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    TIME_ZONE_INFORMATION zone{};
    GetTimeZoneInformation(&zone);
    return FormatMailDate({now.wYear, now.wMonth, now.wDay, now.wDayOfWeek, now.wHour, now.wMinute, now.wSecond},
                          static_cast<int>(zone.Bias));
}

std::string MailTemporaryFolder() {
    char path[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathA(sizeof path, path);
    return length > 0 && length < sizeof path ? std::string(path, length) : std::string();
}

bool SendReportMailWin32(const TCrashModuleOptions& options, const TReportMailJob& job, TCrashFailureLog& log,
                         const TMailProgress& progress) {
    Win32CrashSocketApi sockets;
    const TSmtpStatusTexts texts = SmtpStatusTexts(options);
    TSmtpSession session{sockets, log, progress, texts, &Win32MailDate};
    Win32MapiMailClient client(log);
    const bool directMode = options.SendMode() == TCrashModuleOptions::kSendSmtpDirect;
    return SendReportMail(options, job, session, client, directMode ? MxDnsServers() : std::vector<std::string>{});
}

}  // namespace brenvik
