#pragma once
#include <algorithm>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "serial/CommApi.h"

namespace brenvik::testing {

// A serial device with a simulated clock. Every TickCount call advances the
// clock by one millisecond, so busy polls end like they do on a real clock;
// Sleep advances it by its argument. Bytes written go to an optional peer
// whose answer arrives after the configured latency.
class FakeCommApi : public CommApi {
public:
    using Peer = std::function<std::string(const std::string& written)>;

    std::uint32_t now = 1000;
    std::uint32_t latencyMs = 0;
    Peer peer;
    CommState deviceState{};          // what GetState reports
    std::vector<CommState> applied;   // every SetState
    std::vector<std::string> openedPaths;
    std::vector<std::uint32_t> escapes;
    std::string written;
    bool failOpen = false, failGetState = false, failSetState = false, failClose = false, failWrite = false;
    std::uint32_t lastError = 0;
    int openHandles = 0;

    // Makes bytes readable at the given time (now by default).
    void Arrive(const std::string& bytes, std::uint32_t at) { pending_.push_back({at, bytes}); }
    void Arrive(const std::string& bytes) { Arrive(bytes, now); }
    std::string Queued() {
        Deliver();
        return queue_;
    }

    CommHandle OpenDevice(const std::string& path) override {
        openedPaths.push_back(path);
        if (failOpen) return kInvalidCommHandle;
        ++openHandles;
        return 0x40;
    }
    bool CloseDevice(CommHandle) override {
        if (failClose) return false;
        --openHandles;
        return true;
    }
    bool GetState(CommHandle, CommState& state) override {
        if (failGetState) return false;
        std::uint32_t length = state.DCBlength;
        state = deviceState;
        state.DCBlength = length;
        return true;
    }
    bool SetState(CommHandle, const CommState& state) override {
        applied.push_back(state);
        return !failSetState;
    }
    bool ClearError(CommHandle, std::uint32_t& errors, std::uint32_t& bytesInQueue) override {
        Deliver();
        errors = 0;
        bytesInQueue = static_cast<std::uint32_t>(queue_.size());
        return true;
    }
    bool Read(CommHandle, void* buffer, std::uint32_t count, std::uint32_t& bytesRead) override {
        bytesRead = std::min<std::uint32_t>(count, static_cast<std::uint32_t>(queue_.size()));
        queue_.copy(static_cast<char*>(buffer), bytesRead);
        queue_.erase(0, bytesRead);
        return true;
    }
    bool Write(CommHandle, const void* data, std::uint32_t count, std::uint32_t& bytesWritten) override {
        if (failWrite) return false;
        std::string bytes(static_cast<const char*>(data), count);
        written += bytes;
        bytesWritten = count;
        if (peer) {
            std::string answer = peer(bytes);
            if (!answer.empty()) Arrive(answer, now + latencyMs);
        }
        return true;
    }
    bool Escape(CommHandle, std::uint32_t function) override {
        escapes.push_back(function);
        return true;
    }
    std::uint32_t TickCount() override { return now++; }
    void Sleep(std::uint32_t milliseconds) override { now += milliseconds; }
    std::uint32_t LastError() override { return lastError; }

private:
    void Deliver() {
        for (auto it = pending_.begin(); it != pending_.end();) {
            if (static_cast<std::int32_t>(now - it->at) >= 0) {
                queue_ += it->bytes;
                it = pending_.erase(it);
            } else {
                ++it;
            }
        }
    }

    struct Arrival {
        std::uint32_t at;
        std::string bytes;
    };
    std::deque<Arrival> pending_;
    std::string queue_;
};

}  // namespace brenvik::testing
