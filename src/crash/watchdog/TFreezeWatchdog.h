#pragma once
#include <memory>

#include "crash/watchdog/TFreezeThread.h"

namespace brenvik {

// Starts and stops the one freeze thread of the facility as the own
// module's options ask: start-up and shutdown call Start and Stop, and the
// options' freeze-watchdog switch (SetActive/SetFreezeCheck) calls Switch.
// Used from the main thread only.
class TFreezeWatchdog {
public:
    TFreezeWatchdog(HANDLE mainThread, CrashAddress mainStackTop, TFreezeReportHandler report);
    ~TFreezeWatchdog() { Stop(); }
    TFreezeWatchdog(const TFreezeWatchdog&) = delete;
    TFreezeWatchdog& operator=(const TFreezeWatchdog&) = delete;

    // Nothing when a thread already runs, the facility is not active, or the
    // own module's options have FreezeCheck off.
    void Start();
    // Waits for a report in progress. The facility is linked into the
    // executable, so waiting cannot hold up a library's unloading.
    void Stop() { thread_.reset(); }
    void Switch(bool run) { run ? Start() : Stop(); }
    bool Running() const { return thread_ != nullptr; }

private:
    HANDLE mainThread_;
    CrashAddress mainStackTop_;
    TFreezeReportHandler report_;
    std::unique_ptr<TFreezeThread> thread_;
};

}  // namespace brenvik
