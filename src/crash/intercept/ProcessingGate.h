#pragma once
#include <windows.h>

#include <atomic>
#include <functional>

namespace brenvik {

// One exception is processed at a time. A thread that finds another one
// processing waits in 10 ms steps; an exception raised by the processing
// itself (on its own thread or on the thread working for it) is not processed.
class TProcessingGate {
public:
    // True when this thread now holds the gate; false when the exception was
    // raised inside the processing.
    bool Enter();
    void Leave() { owner_ = 0; }

    void SetExceptionThread(DWORD threadId) { exceptionThread_ = threadId; }
    DWORD ExceptionThread() const { return exceptionThread_; }

private:
    std::atomic<DWORD> owner_{0};
    std::atomic<DWORD> exceptionThread_{0};
};

// Runs calls of the processing on the main thread while the main thread
// waits for a report built on another thread; elsewhere calls run at once.
class TMainThreadSlot {
public:
    explicit TMainThreadSlot(DWORD mainThreadId) : mainThreadId_(mainThreadId) {}

    // Blocks until the main thread has run the call (a failure there is ignored).
    void Run(const std::function<void()>& call);
    // The waiting main thread's side: runs the pending call, if any.
    void RunPending();
    void SetServing(bool serving) { serving_ = serving; }

private:
    DWORD mainThreadId_;
    std::atomic<bool> serving_{false};
    std::atomic<const std::function<void()>*> pending_{nullptr};
};

}  // namespace brenvik
