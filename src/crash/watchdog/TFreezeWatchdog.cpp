#include "crash/watchdog/TFreezeWatchdog.h"

#include "crash/win32/Win32CrashModules.h"

namespace brenvik {

TFreezeWatchdog::TFreezeWatchdog(HANDLE mainThread, CrashAddress mainStackTop, TFreezeReportHandler report)
    : mainThread_(mainThread), mainStackTop_(mainStackTop), report_(std::move(report)) {}

void TFreezeWatchdog::Start() {
    // The options' switch also fires while the facility is being set up or
    // torn down; an inactive facility has nothing to watch.
    if (thread_ || !ActiveCrashModules() || !CurrentCrashLogOptions().FreezeCheck()) return;
    thread_ = std::make_unique<TFreezeThread>(mainThread_, mainStackTop_, report_);
}

}  // namespace brenvik
