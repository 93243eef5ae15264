#pragma once
#include <array>
#include <cstring>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "crash/mail/CrashSocketApi.h"

namespace brenvik::testing {

// A network on a virtual clock: an SMTP peer answering from a script on any
// port but 53, and DNS servers answering MX queries on port 53.
class FakeMailNetwork : public CrashSocketApi {
public:
    static constexpr int kRefused = 10061, kWouldBlock = 10035, kHostNotFound = 11001;

    // SMTP: the greeting first, then one reply per command line, the reply
    // to the message after its terminating dot line.
    std::deque<std::string> smtpReplies;
    std::vector<std::string> commands;       // command lines without "\r\n"
    std::vector<std::string> messages;       // data as sent, without the terminating dot line
    std::map<std::string, std::string> dnsReplies;  // server address → reply datagram
    std::vector<std::string> dnsAsked;              // server addresses in the order asked
    std::vector<std::string> queries;
    bool endless = false;  // the peer sends without end
    bool refuse = false;  // every connection; names ending in ".invalid" never resolve
    std::uint32_t now = 0;
    int startups = 0, cleanups = 0, opened = 0, closed = 0, connections = 0;

    int Startup() override { return ++startups, 0; }
    int Cleanup() override { return ++cleanups, 0; }
    TCrashSocketHandle Open(Kind) override { return ++opened; }
    void MakeBlocking(TCrashSocketHandle) override {}
    bool Connect(TCrashSocketHandle, const std::array<std::uint8_t, 4>& address, std::uint16_t port) override {
        if (refuse) return error_ = kRefused, false;
        ++connections;
        server_ = std::to_string(address[0]) + "." + std::to_string(address[1]) + "." + std::to_string(address[2]) +
                  "." + std::to_string(address[3]);
        dns_ = port == 53;
        inData_ = false;
        line_.clear();
        if (!dns_) Answer();
        return true;
    }
    bool Close(TCrashSocketHandle) override { return ++closed, true; }
    int Send(TCrashSocketHandle, const char* data, int length) override {
        const std::string bytes(data, static_cast<std::size_t>(length));
        if (dns_) {
            dnsAsked.push_back(server_);
            queries.push_back(bytes);
            if (auto reply = dnsReplies.find(server_); reply != dnsReplies.end()) pending_ += reply->second;
        } else {
            Consume(bytes);
        }
        return length;
    }
    int Receive(TCrashSocketHandle, char* buffer, int size) override {
        if (endless) return std::memset(buffer, 'x', static_cast<std::size_t>(size)), size;
        const std::size_t count = std::min<std::size_t>(static_cast<std::size_t>(size), pending_.size());
        std::memcpy(buffer, pending_.data(), count);
        pending_.erase(0, count);
        return static_cast<int>(count);
    }
    int Available(TCrashSocketHandle) override { return endless ? 100 : static_cast<int>(pending_.size()); }
    std::array<std::uint8_t, 4> Resolve(const std::string& host) override {
        std::array<unsigned, 4> parts{};
        if (host.ends_with(".invalid")) return error_ = kHostNotFound, std::array<std::uint8_t, 4>{};
        if (std::sscanf(host.c_str(), "%u.%u.%u.%u", &parts[0], &parts[1], &parts[2], &parts[3]) != 4) {
            return {10, 0, 0, static_cast<std::uint8_t>(host.size())};  // any name resolves somewhere
        }
        return {static_cast<std::uint8_t>(parts[0]), static_cast<std::uint8_t>(parts[1]),
                static_cast<std::uint8_t>(parts[2]), static_cast<std::uint8_t>(parts[3])};
    }
    int LastError() override { return error_; }
    bool WouldBlock(int code) override { return code == kWouldBlock; }
    std::string ErrorText(int code) override { return "error " + std::to_string(code); }
    std::uint32_t TickCount() override { return now; }
    void Sleep(std::uint32_t milliseconds) override { now += milliseconds; }
    std::string LocalHostName() override { return "testhost"; }

    const std::string& LastServer() const { return server_; }

private:
    void Answer() {
        if (smtpReplies.empty()) return;  // a silent peer
        pending_ += smtpReplies.front();
        smtpReplies.pop_front();
    }
    void Consume(const std::string& bytes) {
        line_ += bytes;
        for (;;) {
            if (inData_) {
                const std::size_t end = line_.find("\r\n.\r\n");
                if (end == std::string::npos) return;
                messages.push_back(line_.substr(0, end + 2));
                line_.erase(0, end + 5);
                inData_ = false;
                Answer();
                continue;
            }
            const std::size_t end = line_.find("\r\n");
            if (end == std::string::npos) return;
            commands.push_back(line_.substr(0, end));
            line_.erase(0, end + 2);
            inData_ = commands.back() == "DATA" && !smtpReplies.empty() && smtpReplies.front().rfind("354", 0) == 0;
            Answer();
        }
    }

    int error_ = 0;
    std::string server_;
    bool dns_ = false;
    bool inData_ = false;
    std::string line_;
    std::string pending_;
};

}  // namespace brenvik::testing
