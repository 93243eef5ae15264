#include "crash/watchdog/TFreezeThread.h"

#include "crash/watchdog/MainWindowSearch.h"
#include "crash/win32/Win32CrashModules.h"

namespace brenvik {

namespace {

constexpr DWORD kProbeTimeout = 50;
constexpr DWORD kSearchInterval = 50;
// A responsive program is probed about every 250-300 ms.
constexpr DWORD kResponsivePause = 5 * 50;

// The i686 build reads Eip/Esp, the x86-64 one Rip/Rsp.
CrashAddress InstructionPointer(const CONTEXT& context) {
#if defined(__x86_64__)
    return context.Rip;
#else
    return context.Eip;
#endif
}

CrashAddress StackPointer(const CONTEXT& context) {
#if defined(__x86_64__)
    return context.Rsp;
#else
    return context.Esp;
#endif
}

// Resumes the frozen thread however the report ends.
class SuspendedThread {
public:
    explicit SuspendedThread(HANDLE thread) : thread_(thread), suspended_(SuspendThread(thread) != DWORD(-1)) {}
    ~SuspendedThread() {
        if (suspended_) ResumeThread(thread_);
    }
    SuspendedThread(const SuspendedThread&) = delete;
    SuspendedThread& operator=(const SuspendedThread&) = delete;
    bool Suspended() const { return suspended_; }

private:
    HANDLE thread_;
    bool suspended_;
};

}  // namespace

TFreezeThread::TFreezeThread(HANDLE mainThread, CrashAddress mainStackTop, TFreezeReportHandler report)
    : mainThread_(mainThread),
      mainStackTop_(mainStackTop),
      report_(std::move(report)),
      terminated_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
    handle_ = CreateThread(nullptr, 0, &TFreezeThread::Run, this, CREATE_SUSPENDED, nullptr);
    if (!handle_) {
        CloseHandle(terminated_);
        throw Exception("Cannot start the freeze watchdog thread.");
    }
    SetThreadPriority(handle_, THREAD_PRIORITY_NORMAL);
    ResumeThread(handle_);
}

TFreezeThread::~TFreezeThread() {
    Terminate();
    WaitFor();
    CloseHandle(handle_);
    CloseHandle(terminated_);
}

DWORD WINAPI TFreezeThread::Run(LPVOID self) {
    // Nothing may leave a thread procedure; a failed report is the
    // pipeline's to record, and the watchdog simply ends.
    try {
        static_cast<TFreezeThread*>(self)->Execute();
        return 0;
    } catch (...) {
        return 1;
    }
}

void TFreezeThread::Execute() {
    const TCrashModuleOptions& options = CurrentCrashLogOptions();
    // Widened: FreezeTimeout × 1000 overflows 32 bits for timeouts above
    // about 24 days.
    const std::int64_t limit = std::int64_t{options.FreezeTimeout()} * 1000;
    // A timeout of zero or below switches detection off: such a limit would
    // be reached by the first unanswered probe, or never.
    if (limit <= 0) {
        Pause(INFINITE);
        return;
    }

    HWND window = nullptr;
    while (!(window = FindMainWindow(GetCurrentProcessId())))
        if (!Pause(kSearchInterval)) return;

    while (!Terminated())
        if (ProbeUntilFrozen(window, limit) == limit && !Terminated()) ReportFreeze(options.FreezeMessage());
}

std::int64_t TFreezeThread::ProbeUntilFrozen(HWND window, std::int64_t limit) const {
    std::int64_t elapsed = 0;
    do {
        DWORD_PTR result = 0;
        // A destroyed window counts as answering: closing the program is not a freeze.
        if (!SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_BLOCK, kProbeTimeout, &result) && IsWindow(window)) {
            elapsed += kProbeTimeout;
        } else {
            elapsed = 0;
            if (!Pause(kResponsivePause)) break;
        }
    } while (!Terminated() && elapsed < limit);
    return elapsed;
}

void TFreezeThread::ReportFreeze(const std::string& message) const {
    SuspendedThread frozen(mainThread_);
    if (!frozen.Suspended()) return;
    CONTEXT context{};
    context.ContextFlags = CONTEXT_CONTROL | CONTEXT_INTEGER | CONTEXT_SEGMENTS;
    if (!GetThreadContext(mainThread_, &context)) return;
    const CrashAddress address = InstructionPointer(context);
    const CrashAddress stackPointer = StackPointer(context);
    if (address == 0 || stackPointer == 0) return;
    const EFrozenApplication exception(message);
    report_(TFrozenThreadReport{exception, address, context, stackPointer, mainStackTop_});
}

}  // namespace brenvik
