#pragma once
#include <array>
#include <cstdint>
#include <exception>
#include <functional>
#include <string>
#include <vector>

#include "crash/mail/CrashSocketApi.h"
#include "crash/mail/MailMessage.h"

namespace brenvik {

class TCrashFailureLog;

// What the progress dialog is told while a report is sent. All optional.
struct TMailProgress {
    std::function<void()> Started;  // SMTP modes with ShowSendProgress on
    std::function<void(const std::string& status)> Status;
    std::function<void(int percent)> Position;
    std::function<void(int recipient, int count)> Recipient;
    std::function<void()> Finished;
};

// The texts the conversation shows, by their option index.
struct TSmtpStatusTexts {
    std::string Resolving = "Resolving MX record...";          // Texts[55]
    std::string Connecting = "Connecting with SMTP server...";  // Texts[56]
    std::string Connected = "Connected with SMTP server.";      // Texts[57]
    std::string Sending = "Sending message...";                 // Texts[58]
};

struct TSmtpServer {
    std::string Host;
    std::uint16_t Port = 25;
    std::string User{};
    std::string Password{};
    std::int32_t Timeout = 30000;  // per reply, milliseconds
};

// One delivery's context: the socket layer, where errors go and who watches.
struct TSmtpSession {
    CrashSocketApi& Sockets;
    TCrashFailureLog& Log;
    const TMailProgress& Progress;
    const TSmtpStatusTexts& Texts;
    std::function<std::string()> Date;  // the "Date:" header value
};

// Records "[SMTP] message" as the last SMTP delivery error.
void RecordSmtpFailure(TCrashFailureLog& log, const std::exception_ptr& caught);

// One SMTP conversation delivering the message to one recipient: HELO, or
// EHLO with AUTH LOGIN when a user or password is set; no QUIT. Every failure
// is recorded in the log and gives false; an empty base64 user or password
// line ends the conversation unsuccessfully without a recorded error.
bool SendSmtpMessage(TSmtpSession& session, const TSmtpServer& server, const std::string& sender,
                     const std::string& recipient, const std::string& subject, const std::string& body,
                     const std::vector<TMailAttachment>& attachments);

}  // namespace brenvik
