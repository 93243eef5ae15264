#include "crash/mail/TCrashClientSMTP.h"

#include <algorithm>
#include <cctype>

namespace brenvik {

namespace {

// How much of a reply without a code the error quotes.
constexpr std::size_t kQuotedReply = 64;

}  // namespace

void TCrashClientSMTP::Connect() {
    TCrashClientSocket::Connect();
    if (!ReadReply({220})) RaiseError(Transcript);
}

bool TCrashClientSMTP::ReadReply(Codes codes) {
    const std::string reply = ReadWithTimeout();
    std::size_t digits = 0;
    while (digits < reply.size() && digits < 9 && std::isdigit(static_cast<unsigned char>(reply[digits]))) ++digits;
    if (digits == 0) {
        const std::size_t shown = std::min<std::size_t>(reply.find_first_of("\r\n"), kQuotedReply);
        RaiseError("Invalid SMTP reply: \"" + reply.substr(0, shown) + "\"");
    }
    const long code = std::stol(reply.substr(0, digits));
    return std::any_of(codes.begin(), codes.end(), [code](std::uint16_t accepted) { return accepted == code; });
}

bool TCrashClientSMTP::SendCommand(std::string command, Codes codes) {
    if (command.empty()) return false;
    if (command.size() < 2 || command.compare(command.size() - 2, 2, "\r\n") != 0) command += "\r\n";
    bool accepted = false;
    if (SendText(command) == command.size()) {
        Transcript += command;
        accepted = ReadReply(codes);
    }
    if (!accepted) RaiseError(Transcript);
    return true;
}

}  // namespace brenvik
