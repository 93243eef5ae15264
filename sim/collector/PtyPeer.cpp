#include "PtyPeer.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <system_error>
#include <termios.h>
#include <unistd.h>
#include <utility>

namespace {

constexpr int kPollMs = 20;  // bounds how long Stop() waits for the thread

[[noreturn]] void ThrowErrno(const std::string& what) {
    throw std::system_error(errno, std::generic_category(), what);
}

void MakeRaw(int fd) {
    termios settings{};
    if (tcgetattr(fd, &settings) != 0) ThrowErrno("tcgetattr");
    cfmakeraw(&settings);
    if (tcsetattr(fd, TCSANOW, &settings) != 0) ThrowErrno("tcsetattr");
}

}  // namespace

PtyPeer::PtyPeer(CollectorScenario scenario, std::string linkPath)
    : linkPath_(std::move(linkPath)), model_(std::move(scenario)) {
    try {
        OpenPty();
        PublishLink();
    } catch (...) {
        Close();
        throw;
    }
    thread_ = std::thread(&PtyPeer::Serve, this);
}

PtyPeer::~PtyPeer() {
    Stop();
    char target[PATH_MAX];
    ssize_t length = readlink(linkPath_.c_str(), target, sizeof target);
    if (length > 0 && std::string(target, length) == slavePath_) unlink(linkPath_.c_str());
    Close();
}

void PtyPeer::OpenPty() {
    masterFd_ = posix_openpt(O_RDWR | O_NOCTTY);
    if (masterFd_ < 0) ThrowErrno("posix_openpt");
    if (grantpt(masterFd_) != 0 || unlockpt(masterFd_) != 0) ThrowErrno("grantpt/unlockpt");
    char name[PATH_MAX];
    if (ptsname_r(masterFd_, name, sizeof name) != 0) ThrowErrno("ptsname_r");
    slavePath_ = name;
    slaveFd_ = open(name, O_RDWR | O_NOCTTY);
    if (slaveFd_ < 0) ThrowErrno("open " + slavePath_);
    // Raw before anyone sees the link: echo would bounce host bytes back.
    MakeRaw(slaveFd_);
    MakeRaw(masterFd_);
    if (fcntl(masterFd_, F_SETFL, fcntl(masterFd_, F_GETFL) | O_NONBLOCK) != 0)
        ThrowErrno("fcntl O_NONBLOCK");
}

void PtyPeer::PublishLink() {
    if (unlink(linkPath_.c_str()) != 0 && errno != ENOENT) ThrowErrno("unlink " + linkPath_);
    if (symlink(slavePath_.c_str(), linkPath_.c_str()) != 0) ThrowErrno("symlink " + linkPath_);
}

void PtyPeer::Close() {
    for (int* fd : {&slaveFd_, &masterFd_}) {
        if (*fd >= 0) close(*fd);
        *fd = -1;
    }
}

void PtyPeer::Stop() {
    stopping_ = true;
    if (thread_.joinable()) thread_.join();
}

void PtyPeer::Serve() {
    char buffer[4096];
    while (!stopping_) {
        pollfd readable{masterFd_, POLLIN, 0};
        if (poll(&readable, 1, kPollMs) <= 0) continue;
        ssize_t count = read(masterFd_, buffer, sizeof buffer);
        if (count < 0 && (errno == EAGAIN || errno == EINTR)) continue;
        if (count <= 0) return;  // cannot happen while slaveFd_ is held open
        std::string_view input(buffer, static_cast<std::size_t>(count));
        {
            std::lock_guard lock(mutex_);
            received_.append(input);
        }
        std::size_t written = WriteAll(model_.OnReceive(input));
        {
            std::lock_guard lock(mutex_);
            bytesSent_ += written;
            published_ = model_.State();
        }
        changed_.notify_all();
    }
}

std::size_t PtyPeer::WriteAll(const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size() && !stopping_) {
        ssize_t count = write(masterFd_, bytes.data() + done, bytes.size() - done);
        if (count > 0) {
            done += static_cast<std::size_t>(count);
        } else if (errno == EAGAIN || errno == EINTR) {
            pollfd writable{masterFd_, POLLOUT, 0};
            poll(&writable, 1, kPollMs);
        } else {
            break;
        }
    }
    return done;
}

std::string PtyPeer::Received() const {
    std::lock_guard lock(mutex_);
    return received_;
}

std::size_t PtyPeer::BytesReceived() const {
    std::lock_guard lock(mutex_);
    return received_.size();
}

std::size_t PtyPeer::BytesSent() const {
    std::lock_guard lock(mutex_);
    return bytesSent_;
}

CollectorState PtyPeer::State() const {
    std::lock_guard lock(mutex_);
    return published_;
}

bool PtyPeer::WaitFinished(std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [this] { return published_.finished; });
}
