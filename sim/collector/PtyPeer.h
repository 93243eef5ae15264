// Serves a CollectorModel on the master side of a raw pseudo-terminal and
// publishes the slave side under a symlink, so a host program can open the
// link as its serial port. Linux only.
#pragma once

#include "CollectorModel.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <string>
#include <thread>

class PtyPeer {
public:
    // Creates the pty and the link (replacing whatever is at linkPath) and
    // starts serving. Throws std::system_error on failure.
    PtyPeer(CollectorScenario scenario, std::string linkPath);
    ~PtyPeer();  // stops, removes the link if still ours, closes the pty

    PtyPeer(const PtyPeer&) = delete;
    PtyPeer& operator=(const PtyPeer&) = delete;

    const std::string& SlavePath() const { return slavePath_; }
    const std::string& LinkPath() const { return linkPath_; }

    std::string Received() const;  // every byte the host wrote so far
    std::size_t BytesReceived() const;
    std::size_t BytesSent() const;
    CollectorState State() const;

    // True once the session finished; false if the timeout passed first.
    bool WaitFinished(std::chrono::milliseconds timeout) const;

    void Stop();  // idempotent

private:
    void OpenPty();
    void PublishLink();
    void Close();
    void Serve();
    std::size_t WriteAll(const std::string& bytes);

    std::string linkPath_;
    std::string slavePath_;
    int masterFd_ = -1;
    int slaveFd_ = -1;  // held open so the pty never hangs up between host opens
    CollectorModel model_;  // touched by the serving thread only
    CollectorState published_;  // model state once its reply is written
    std::string received_;
    std::size_t bytesSent_ = 0;
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::atomic<bool> stopping_{false};
    std::thread thread_;
};
