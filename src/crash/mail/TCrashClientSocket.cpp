#include "crash/mail/TCrashClientSocket.h"

#include <algorithm>
#include <vector>

namespace brenvik {

TCrashClientSocket::TCrashClientSocket(CrashSocketApi& api, std::string host, std::uint16_t port, bool useTcp,
                                       std::int32_t timeout)
    : api_(api),
      host_(std::move(host)),
      port_(port),
      kind_(useTcp ? CrashSocketApi::kStream : CrashSocketApi::kDatagram),
      timeout_(timeout) {
    if (const int code = api_.Startup()) RaiseSystemError("Error into WSAStartup: \"%s\"", code);
}

TCrashClientSocket::~TCrashClientSocket() {
    // A destructor must not throw: a failing close or shut-down is dropped here.
    try {
        if (connected_) Disconnect();
    } catch (...) {
    }
    api_.Cleanup();
}

void TCrashClientSocket::RaiseError(const std::string& message) {
    if (OnError) OnError(*this, -1, message);
    if (Silent) throw EAbort();
    throw ECrashSocketError(message);
}

void TCrashClientSocket::RaiseSystemError(const std::string& format, int code) {
    std::string message = format;
    const std::size_t at = message.find("%s");
    if (at != std::string::npos) message.replace(at, 2, api_.ErrorText(code));
    RaiseError(message);
}

void TCrashClientSocket::Connect() {
    if (connected_) return;
    socket_ = api_.Open(kind_);
    if (socket_ == kInvalidCrashSocket) RaiseSystemError("Invalid socket: \"%s\".", api_.LastError());
    address_ = api_.Resolve(host_);
    // A name that does not resolve must not reach 0.0.0.0: some systems take
    // that for this machine and would hand the report to a local server.
    const bool unresolved = address_ == std::array<std::uint8_t, 4>{} && host_ != "0.0.0.0";
    const int resolveError = unresolved ? api_.LastError() : 0;
    api_.MakeBlocking(socket_);
    if (unresolved || !api_.Connect(socket_, address_, port_)) {
        const int code = unresolved ? resolveError : api_.LastError();
        // The socket is not connected, so Disconnect would not close it.
        api_.Close(socket_);
        socket_ = kInvalidCrashSocket;
        RaiseSystemError("Connection error: \"%s\"", code);
    }
    connected_ = true;
    Transcript = "Connected to " + std::to_string(address_[0]) + "." + std::to_string(address_[1]) + "." +
                 std::to_string(address_[2]) + "." + std::to_string(address_[3]) + " port " + std::to_string(port_) +
                 "\r\n";
}

void TCrashClientSocket::Disconnect() {
    if (socket_ != kInvalidCrashSocket && !api_.Close(socket_)) {
        const int code = api_.LastError();
        socket_ = kInvalidCrashSocket;
        connected_ = false;
        RaiseSystemError("Cannot close the socket: \"%s\"", code);
    }
    socket_ = kInvalidCrashSocket;
    address_ = {};
    connected_ = false;
    Transcript.clear();
}

int TCrashClientSocket::Send(const char* data, int length) {
    if (!connected_) return 0;
    const int sent = api_.Send(socket_, data, length);
    if (sent >= 0) return sent;
    const int code = api_.LastError();
    if (api_.WouldBlock(code)) return -1;
    Disconnect();
    if (code != 0) RaiseSystemError("Error into \"send\": \"%s\"", code);
    return sent;
}

std::size_t TCrashClientSocket::SendText(const std::string& text) {
    std::size_t total = 0;
    for (std::size_t at = 0; at < text.size(); at += kSendPiece) {
        const std::size_t piece = std::min(kSendPiece, text.size() - at);
        const int sent = Send(text.data() + at, static_cast<int>(piece));
        if (sent > 0) total += static_cast<std::size_t>(sent);
        if (OnProgress) OnProgress(*this, at + piece, text.size());
    }
    return total;
}

int TCrashClientSocket::Available() {
    return connected_ ? std::max(0, api_.Available(socket_)) : 0;
}

int TCrashClientSocket::Receive(char* buffer, int size) {
    const int received = api_.Receive(socket_, buffer, size);
    if (received >= 0) return received;
    const int code = api_.LastError();
    if (api_.WouldBlock(code)) return -1;
    Disconnect();
    RaiseSystemError("Error into \"recv\": \"%s\"", code);
}

std::string TCrashClientSocket::ReadAvailable() {
    std::string result;
    int waiting = Available();
    std::vector<char> buffer;
    // A peer that never stops sending must not hold the report forever: the
    // read ends after the socket's timeout even while bytes keep coming.
    const std::uint32_t readStart = api_.TickCount();
    while (waiting > 0) {
        buffer.resize(static_cast<std::size_t>(waiting));
        const int received = Receive(buffer.data(), waiting);
        if (received > 0) {
            result.append(buffer.data(), static_cast<std::size_t>(received));
            Transcript.append(buffer.data(), static_cast<std::size_t>(received));
        }
        waiting = 0;
        if (static_cast<std::int64_t>(api_.TickCount() - readStart) >= timeout_) break;
        const std::uint32_t start = api_.TickCount();
        while (api_.TickCount() - start < kSilenceWindow) {
            api_.Sleep(1);
            waiting = Available();
            if (waiting > 0) break;
        }
    }
    return result;
}

std::string TCrashClientSocket::ReadWithTimeout() {
    const std::uint32_t start = api_.TickCount();
    for (;;) {
        std::string text = ReadAvailable();
        if (!text.empty()) return text;
        if (!connected_ || static_cast<std::int64_t>(api_.TickCount() - start) >= timeout_) break;
        api_.Sleep(1);
    }
    RaiseError("Socket timeout.");
}

}  // namespace brenvik
