#pragma once
#include <string>
#include <vector>

#include "crash/mail/CrashSocketApi.h"

namespace brenvik {

// Windows Sockets 1.1 under the mail client.
class Win32CrashSocketApi : public CrashSocketApi {
public:
    int Startup() override;
    int Cleanup() override;
    TCrashSocketHandle Open(Kind kind) override;
    void MakeBlocking(TCrashSocketHandle socket) override;
    bool Connect(TCrashSocketHandle socket, const std::array<std::uint8_t, 4>& address, std::uint16_t port) override;
    bool Close(TCrashSocketHandle socket) override;
    int Send(TCrashSocketHandle socket, const char* data, int length) override;
    int Receive(TCrashSocketHandle socket, char* buffer, int size) override;
    int Available(TCrashSocketHandle socket) override;
    std::array<std::uint8_t, 4> Resolve(const std::string& host) override;
    int LastError() override;
    bool WouldBlock(int code) override;
    std::string ErrorText(int code) override;
    std::uint32_t TickCount() override;
    void Sleep(std::uint32_t milliseconds) override;
    std::string LocalHostName() override;
};

// The system's DNS servers as GetNetworkParams of IPHLPAPI.DLL reports them
// (none when the library or the function is missing), then the fallback.
std::vector<std::string> MxDnsServers();

}  // namespace brenvik
