#include "crash/win32/Win32CrashSocketApi.h"

#include <winsock2.h>
#include <windows.h>

#include <cstring>

namespace brenvik {

namespace {

// SOCKET is pointer-sized on x86_64 and 32-bit on i686; INVALID_SOCKET maps
// to kInvalidCrashSocket either way.
SOCKET Native(TCrashSocketHandle socket) { return static_cast<SOCKET>(socket); }

}  // namespace

int Win32CrashSocketApi::Startup() {
    WSADATA data{};
    return WSAStartup(MAKEWORD(1, 1), &data);
}

int Win32CrashSocketApi::Cleanup() { return WSACleanup() == 0 ? 0 : WSAGetLastError(); }

TCrashSocketHandle Win32CrashSocketApi::Open(Kind kind) {
    const SOCKET handle = ::socket(AF_INET, kind == kStream ? SOCK_STREAM : SOCK_DGRAM, 0);
    return handle == INVALID_SOCKET ? kInvalidCrashSocket : static_cast<TCrashSocketHandle>(handle);
}

void Win32CrashSocketApi::MakeBlocking(TCrashSocketHandle socket) {
    WSAAsyncSelect(Native(socket), nullptr, 0, 0);
    u_long nonBlocking = 0;
    ioctlsocket(Native(socket), FIONBIO, &nonBlocking);
}

bool Win32CrashSocketApi::Connect(TCrashSocketHandle socket, const std::array<std::uint8_t, 4>& address,
                                  std::uint16_t port) {
    sockaddr_in peer{};
    peer.sin_family = AF_INET;
    peer.sin_port = htons(port);
    std::memcpy(&peer.sin_addr, address.data(), 4);
    return ::connect(Native(socket), reinterpret_cast<const sockaddr*>(&peer), sizeof peer) == 0;
}

bool Win32CrashSocketApi::Close(TCrashSocketHandle socket) { return closesocket(Native(socket)) == 0; }

int Win32CrashSocketApi::Send(TCrashSocketHandle socket, const char* data, int length) {
    const int sent = ::send(Native(socket), data, length, 0);
    return sent == SOCKET_ERROR ? -1 : sent;
}

int Win32CrashSocketApi::Receive(TCrashSocketHandle socket, char* buffer, int size) {
    const int received = ::recv(Native(socket), buffer, size, 0);
    return received == SOCKET_ERROR ? -1 : received;
}

int Win32CrashSocketApi::Available(TCrashSocketHandle socket) {
    u_long waiting = 0;
    if (ioctlsocket(Native(socket), FIONREAD, &waiting) != 0) return 0;
    return static_cast<int>(waiting);
}

std::array<std::uint8_t, 4> Win32CrashSocketApi::Resolve(const std::string& host) {
    std::array<std::uint8_t, 4> address{};
    const hostent* entry = gethostbyname(host.c_str());
    if (entry && entry->h_addrtype == AF_INET && entry->h_length == 4 && entry->h_addr_list[0]) {
        std::memcpy(address.data(), entry->h_addr_list[0], 4);
    }
    return address;
}

int Win32CrashSocketApi::LastError() { return WSAGetLastError(); }

bool Win32CrashSocketApi::WouldBlock(int code) { return code == WSAEWOULDBLOCK; }

std::string Win32CrashSocketApi::ErrorText(int code) {
    char* text = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        static_cast<DWORD>(code), 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string message = length && text ? std::string(text, length) : "Error " + std::to_string(code);
    LocalFree(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' ')) {
        message.pop_back();
    }
    return message;
}

std::uint32_t Win32CrashSocketApi::TickCount() { return GetTickCount(); }

void Win32CrashSocketApi::Sleep(std::uint32_t milliseconds) { ::Sleep(milliseconds); }

std::string Win32CrashSocketApi::LocalHostName() {
    char name[250] = {};
    if (gethostname(name, sizeof name) != 0) return {};
    name[sizeof name - 1] = '\0';
    return name;
}

}  // namespace brenvik
