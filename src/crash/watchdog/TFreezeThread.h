#pragma once
#include <windows.h>

#include <functional>

#include "crash/stack/CrashStackTypes.h"
#include "crash/watchdog/EFrozenApplication.h"

namespace brenvik {

// What a detected freeze hands to the report pipeline: a system exception
// (not a language one) raised at the frozen instruction, with the frozen
// thread's registers and the stack range its call stack is read from.
struct TFrozenThreadReport {
    const EFrozenApplication& Exception;
    CrashAddress Address = 0;
    const CONTEXT& Context;
    CrashAddress StackPointer = 0;
    CrashAddress StackTop = 0;
};

// Runs while the frozen thread is suspended, on the watchdog thread.
using TFreezeReportHandler = std::function<void(const TFrozenThreadReport&)>;

// Background thread that probes the process's main window and, when the
// main thread has not answered for FreezeTimeout seconds of the facility's
// own options, reports the freeze with the main thread's call stack.
// Counting starts over after each report, so a freeze that lasts reports
// again after every further FreezeTimeout.
class TFreezeThread {
public:
    // mainThread: a handle with suspend, resume and get-context rights that
    // stays open for the thread's life; mainStackTop: the main thread's stack
    // top. Starts running at once.
    TFreezeThread(HANDLE mainThread, CrashAddress mainStackTop, TFreezeReportHandler report);
    // Tells the thread to stop and waits for it.
    ~TFreezeThread();
    TFreezeThread(const TFreezeThread&) = delete;
    TFreezeThread& operator=(const TFreezeThread&) = delete;

    // Honoured between probes, during pauses and before a report; a report in
    // progress finishes first.
    void Terminate() { SetEvent(terminated_); }
    void WaitFor() const { WaitForSingleObject(handle_, INFINITE); }

private:
    static DWORD WINAPI Run(LPVOID self);
    void Execute();
    // False when told to stop during the wait.
    bool Pause(DWORD milliseconds) const { return WaitForSingleObject(terminated_, milliseconds) == WAIT_TIMEOUT; }
    bool Terminated() const { return !Pause(0); }
    // Milliseconds the window went unanswered, up to the limit or a stop.
    std::int64_t ProbeUntilFrozen(HWND window, std::int64_t limit) const;
    void ReportFreeze(const std::string& message) const;

    HANDLE mainThread_;
    CrashAddress mainStackTop_;
    TFreezeReportHandler report_;
    HANDLE terminated_;
    HANDLE handle_ = nullptr;
};

}  // namespace brenvik
