#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "base/Exception.h"
#include "crash/mail/CrashSocketApi.h"

namespace brenvik {

// Every failure of the socket and SMTP client.
class ECrashSocketError : public Exception {
public:
    using Exception::Exception;
};

// A small blocking client socket.
class TCrashClientSocket {
public:
    using ErrorEvent = std::function<void(TCrashClientSocket& sender, int code, const std::string& message)>;
    using ProgressEvent = std::function<void(TCrashClientSocket& sender, std::size_t position, std::size_t total)>;

    static constexpr std::size_t kSendPiece = 1024;
    static constexpr std::uint32_t kSilenceWindow = 1000;

    TCrashClientSocket(CrashSocketApi& api, std::string host, std::uint16_t port, bool useTcp, std::int32_t timeout);
    virtual ~TCrashClientSocket();
    TCrashClientSocket(const TCrashClientSocket&) = delete;
    TCrashClientSocket& operator=(const TCrashClientSocket&) = delete;

    virtual void Connect();
    virtual void Disconnect();

    int Send(const char* data, int length);
    std::size_t SendText(const std::string& text);
    int Available();
    int Receive(char* buffer, int size);
    std::string ReadAvailable();
    std::string ReadWithTimeout();

    bool Connected() const { return connected_; }

    std::string Transcript;
    ErrorEvent OnError;
    ProgressEvent OnProgress;
    bool Silent = false;

protected:
    // Calls OnError, then raises the silent abort or ECrashSocketError.
    [[noreturn]] void RaiseError(const std::string& message);
    // The message with "%s" replaced by the system's text for the code.
    [[noreturn]] void RaiseSystemError(const std::string& format, int code);
    CrashSocketApi& Api() { return api_; }

private:
    CrashSocketApi& api_;
    std::array<std::uint8_t, 4> address_{};
    std::string host_;
    std::uint16_t port_;
    CrashSocketApi::Kind kind_;
    std::int32_t timeout_;
    bool connected_ = false;
    TCrashSocketHandle socket_ = kInvalidCrashSocket;
};

}  // namespace brenvik
