#pragma once
#include <cstdint>
#include <initializer_list>
#include <string>

#include "crash/mail/TCrashClientSocket.h"

namespace brenvik {

// The SMTP side of the client socket: greeting, commands and reply codes.
class TCrashClientSMTP : public TCrashClientSocket {
public:
    using TCrashClientSocket::TCrashClientSocket;
    using Codes = std::initializer_list<std::uint16_t>;

    // Connects and expects the 220 greeting; otherwise raises the transcript.
    void Connect() override;
    // Whether the next reply's code is one of the codes.
    bool ReadReply(Codes codes);
    // Sends one command line and expects one of the codes; false for an empty
    // command, which sends nothing.
    bool SendCommand(std::string command, Codes codes);
};

}  // namespace brenvik
