#include "crash/mail/SmtpMessage.h"

#include <string>

#include "crash/mail/Base64.h"
#include "crash/mail/TCrashClientSMTP.h"
#include "crash/report/CrashFailureLog.h"

namespace brenvik {

namespace {

void Tell(const std::function<void(const std::string&)>& status, const std::string& text) {
    if (status) status(text);
}

// The base64 form of an AUTH LOGIN step as one line, however long the text.
std::string AuthLine(const std::string& text) {
    std::string line = EncodeBase64Lines(text);
    std::erase_if(line, [](char c) { return c == '\r' || c == '\n'; });
    return line;
}

}  // namespace

void RecordSmtpFailure(TCrashFailureLog& log, const std::exception_ptr& caught) {
    log.StepFailed(eeEmailSMTPError, "SMTP", DescribeFailure(caught));
}

bool SendSmtpMessage(TSmtpSession& session, const TSmtpServer& server, const std::string& sender,
                     const std::string& recipient, const std::string& subject, const std::string& body,
                     const std::vector<TMailAttachment>& attachments) {
    try {
        Tell(session.Progress.Status, session.Texts.Connecting);
        TCrashClientSMTP client(session.Sockets, server.Host, server.Port, true, server.Timeout);
        client.Connect();
        const std::string name = session.Sockets.LocalHostName();
        Tell(session.Progress.Status, session.Texts.Connected);
        if (server.User.empty() && server.Password.empty()) {
            client.SendCommand("HELO " + name, {250});
            client.SendCommand("RSET", {250});
        } else {
            client.SendCommand("EHLO " + name, {250});
            client.SendCommand("RSET", {250});
            client.SendCommand("AUTH LOGIN", {334});
            if (!client.SendCommand(AuthLine(server.User), {334})) return false;
            if (!client.SendCommand(AuthLine(server.Password), {235})) return false;
        }
        client.SendCommand("MAIL FROM:<" + sender + ">", {250});
        Tell(session.Progress.Status, session.Texts.Sending);
        const TMailEnvelope envelope{session.Date ? session.Date() : std::string(), sender, subject, recipient, body};
        const std::string message = BuildSmtpMessage(envelope, attachments);
        client.SendCommand("RCPT TO:<" + recipient + ">", {250, 251});
        client.SendCommand("DATA", {354});
        if (session.Progress.Position) {
            client.OnProgress = [&session](TCrashClientSocket&, std::size_t position, std::size_t total) {
                session.Progress.Position(static_cast<int>(position * 100 / total));
            };
        }
        client.SendCommand(message, {250});
        client.OnProgress = nullptr;
        return true;
    } catch (...) {
        RecordSmtpFailure(session.Log, std::current_exception());
        return false;
    }
}

}  // namespace brenvik
