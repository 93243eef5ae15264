#pragma once
#include <array>
#include <cstdint>
#include <string>

namespace brenvik {

using TCrashSocketHandle = std::intptr_t;
inline constexpr TCrashSocketHandle kInvalidCrashSocket = -1;

// The few socket, clock and host calls the mail client makes: Windows
// Sockets in the program, a scripted peer in the tests.
class CrashSocketApi {
public:
    enum Kind { kStream = 1, kDatagram = 2 };

    virtual ~CrashSocketApi() = default;
    // Each returns 0 or the error code.
    virtual int Startup() = 0;
    virtual int Cleanup() = 0;
    virtual TCrashSocketHandle Open(Kind kind) = 0;  // kInvalidCrashSocket on failure
    // Cancels asynchronous notifications and switches the socket to blocking mode.
    virtual void MakeBlocking(TCrashSocketHandle socket) = 0;
    virtual bool Connect(TCrashSocketHandle socket, const std::array<std::uint8_t, 4>& address, std::uint16_t port) = 0;
    virtual bool Close(TCrashSocketHandle socket) = 0;
    virtual int Send(TCrashSocketHandle socket, const char* data, int length) = 0;     // −1 on failure
    virtual int Receive(TCrashSocketHandle socket, char* buffer, int size) = 0;        // −1 on failure
    virtual int Available(TCrashSocketHandle socket) = 0;                              // bytes waiting
    // The first address of the host look-up, or 0.0.0.0.
    virtual std::array<std::uint8_t, 4> Resolve(const std::string& host) = 0;
    virtual int LastError() = 0;
    virtual bool WouldBlock(int code) = 0;
    virtual std::string ErrorText(int code) = 0;
    virtual std::uint32_t TickCount() = 0;
    virtual void Sleep(std::uint32_t milliseconds) = 0;
    virtual std::string LocalHostName() = 0;
};

}  // namespace brenvik
