#include "crash/intercept/ProcessingGate.h"

namespace brenvik {

constexpr DWORD kWaitStep = 10;

bool TProcessingGate::Enter() {
    const DWORD self = GetCurrentThreadId();
    if (owner_ == self || exceptionThread_ == self) return false;
    for (;;) {
        DWORD free = 0;
        if (owner_.compare_exchange_strong(free, self)) return true;
        Sleep(kWaitStep);
    }
}

void TMainThreadSlot::Run(const std::function<void()>& call) {
    if (!serving_ || GetCurrentThreadId() == mainThreadId_) {
        call();
        return;
    }
    pending_ = &call;
    while (pending_ && serving_) Sleep(kWaitStep);
}

void TMainThreadSlot::RunPending() {
    const std::function<void()>* call = pending_;
    if (!call) return;
    try {
        (*call)();
    } catch (...) {
    }
    pending_ = nullptr;
}

}  // namespace brenvik
