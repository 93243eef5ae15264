#include "crash/intercept/UnhandledExceptions.h"

#include <httpext.h>

#include <csignal>
#include <cstdlib>

#include "crash/hook/ProcedureHooks.h"
#include "crash/intercept/ExceptNotify.h"

namespace brenvik {
namespace {

// The unwinder's exceptions for throws on x86-64; the runtime's own top-level
// filter resumes them so the throw ends in terminate.
constexpr DWORD kUnwinderCodeMask = 0x20FFFFFF;
constexpr DWORD kUnwinderCode = 0x20474343;

std::terminate_handler previousTerminate = nullptr;
LPTOP_LEVEL_EXCEPTION_FILTER previousFilter = nullptr;

// The exception a catch-all or terminate holds: the thread's raise record
// when it recorded this very object, else what can be had here and now.
void CollectCaught(const std::exception_ptr& error, TPendingException& pending, TExceptNotifyParams& params) {
    const TRaiseRecord& record = ThreadRaiseRecord();
    const bool recorded = record.Valid && (record.Language ? record.Object == ExceptionObjectAddress(error) : !error);
    if (recorded) {
        pending = PendingFromRecord(record);
        params = ParamsFromRecord(record);
        return;
    }
    pending.Object = DescribeException(error);
    pending.Language = true;
    pending.Address = reinterpret_cast<CrashAddress>(__builtin_return_address(0));
    params.StackPointer = reinterpret_cast<CrashAddress>(__builtin_frame_address(0));
    params.StackTop = CurrentStackTop();
}

// Runs the pipeline for an exception no handler will catch; nothing for the
// silent abort or for an exception raised inside the processing.
void ProcessUnhandled(TCrashlog& facility, const TPendingException& pending, const TExceptNotifyParams& params) {
    if (pending.Object.IsAbort || !facility.Gate.Enter()) return;
    ExceptNotify(facility, pending, params);
    facility.Gate.Leave();
}

// An exception escaped every handler: the main thread ends the program, any
// other thread only itself, with exit code 1.
[[noreturn]] void EndRaisingThread(const TCrashlog* facility) {
    if (!facility || facility->IsMainThread()) ExitProcess(1);
    ExitThread(1);
}

// The program ends itself without an exception: reported as an object of
// the call's name, raised where the call was made.
__attribute__((noinline)) void ReportProgramEnd(TCrashlog& facility, const char* call, const char* message) {
    TPendingException pending;
    pending.Object.Known = true;
    pending.Object.ClassName = call;
    pending.Object.ClassNames = {call};
    pending.Object.Message = message;
    pending.Language = true;
    pending.Address = reinterpret_cast<CrashAddress>(__builtin_return_address(0));
    TExceptNotifyParams params;
    params.StackPointer = reinterpret_cast<CrashAddress>(__builtin_frame_address(0));
    params.StackTop = CurrentStackTop();
    ProcessUnhandled(facility, pending, params);
}

// The runtime's usual end of std::terminate and abort().
constexpr int kAbortExitCode = 3;

[[noreturn]] void OnUnhandledThrow() {
    TCrashlog* facility = TCrashlog::Active();
    if (!facility) {
        if (previousTerminate) previousTerminate();
        ExitProcess(1);
    }
    if (std::exception_ptr error = std::current_exception()) {
        TPendingException pending;
        TExceptNotifyParams params;
        CollectCaught(error, pending, params);
        ProcessUnhandled(*facility, pending, params);
        EndRaisingThread(facility);
    }
    ReportProgramEnd(*facility, "std::terminate", "std::terminate was called without an active exception.");
    std::_Exit(kAbortExitCode);
}

void OnAbortSignal(int) {
    // Once: the runtime's abort goes on to its message and exit code 3.
    std::signal(SIGABRT, SIG_DFL);
    if (TCrashlog* facility = TCrashlog::Active()) ReportProgramEnd(*facility, "abort", "abort() was called.");
}

struct TOverflowReport {
    TCrashlog& Facility;
    const TRaiseRecord& Record;
    DWORD OverflowedThread;
};

DWORD WINAPI ReportStackOverflow(LPVOID parameter) {
    const auto& job = *static_cast<const TOverflowReport*>(parameter);
    TExceptNotifyParams params = ParamsFromRecord(job.Record);
    params.ThreadId = job.OverflowedThread;
    ExceptNotify(job.Facility, PendingFromRecord(job.Record), params);
    return 0;
}

// The overflowed stack has no room left for a report: it is built on a
// thread of its own while this one waits, then the process ends with the
// overflow's code, as it would have without the facility.
[[noreturn]] void EndAfterStackOverflow(TCrashlog& facility, const TRaiseRecord& record) {
    if (facility.Gate.Enter()) {
        TOverflowReport job{facility, record, GetCurrentThreadId()};
        if (HANDLE thread = CreateThread(nullptr, 0, ReportStackOverflow, &job, 0, nullptr)) {
            WaitForSingleObject(thread, INFINITE);
            CloseHandle(thread);
        }
        facility.Gate.Leave();
    }
    ExitProcess(EXCEPTION_STACK_OVERFLOW);
}

LONG WINAPI OnUnhandledSystemException(EXCEPTION_POINTERS* pointers) {
    TCrashlog* facility = TCrashlog::Active();
    if (!facility || (pointers->ExceptionRecord->ExceptionCode & kUnwinderCodeMask) == kUnwinderCode)
        return previousFilter ? previousFilter(pointers) : EXCEPTION_CONTINUE_SEARCH;
    TRaiseRecord& record = ThreadRaiseRecord();
    RecordSystemRaise(*pointers, record);
    if (record.Code == EXCEPTION_STACK_OVERFLOW) EndAfterStackOverflow(*facility, record);
    ProcessUnhandled(*facility, PendingFromRecord(record), ParamsFromRecord(record));
    EndRaisingThread(facility);
}

}  // namespace

bool ExceptionManager(const std::exception_ptr& error) {
    TCrashlog* facility = TCrashlog::Active();
    if (!facility) return true;
    TPendingException pending;
    TExceptNotifyParams params;
    CollectCaught(error, pending, params);
    // Raised inside the processing: left to the toolkit, so it is not lost.
    if (pending.Object.IsAbort || !facility->Gate.Enter()) return true;
    const bool passOn = ExceptNotify(*facility, pending, params);
    facility->Gate.Leave();
    return passOn;
}

void RequestProgramTermination() {
    if (TCrashlog* facility = TCrashlog::Active()) facility->TerminateRequested = true;
}

void InstallUnhandledHandlers() {
    previousTerminate = std::set_terminate(OnUnhandledThrow);
    previousFilter = SetUnhandledExceptionFilter(OnUnhandledSystemException);
    std::signal(SIGABRT, OnAbortSignal);
}

void RemoveUnhandledHandlers() {
    std::signal(SIGABRT, SIG_DFL);
    SetUnhandledExceptionFilter(previousFilter);
    std::set_terminate(previousTerminate);
}

void ReportFrozenApplication(const TFrozenThreadReport& report) {
    TCrashlog* facility = TCrashlog::Active();
    if (!facility) return;
    TPendingException pending;
    pending.Object = DescribeThrownObject(const_cast<EFrozenApplication*>(&report.Exception), typeid(report.Exception));
    pending.Address = report.Address;
    TExceptNotifyParams params;
    params.Context = &report.Context;
    params.StackPointer = report.StackPointer;
    params.StackTop = report.StackTop;
    params.ThreadId = facility->MainThreadId;
    ProcessUnhandled(*facility, pending, params);
}

namespace {

using THttpExtensionProc = DWORD(WINAPI*)(EXTENSION_CONTROL_BLOCK*);
THttpExtensionProc serverExtensionEntry = nullptr;
TCrashlog* serverExtensionFacility = nullptr;

DWORD WINAPI HookedHttpExtensionProc(EXTENSION_CONTROL_BLOCK* block) {
    // The page for a failing request goes back through that request's block.
    const TServerExtensionBlock callbacks = ServerExtensionBlockFor(block);
    struct RequestScope {
        TWebErrorPage& page;
        DWORD thread;
        ~RequestScope() { page.SetServerControlBlock(thread, nullptr); }
    } scope{serverExtensionFacility->WebPage, GetCurrentThreadId()};
    scope.page.SetServerControlBlock(scope.thread, &callbacks);
    return serverExtensionEntry(block);
}

}  // namespace

void HookServerExtensionEntry(TCrashlog& facility) {
    void* entry = reinterpret_cast<void*>(GetProcAddress(CrashFacilityModule(), "HttpExtensionProc"));
    if (!entry) return;
    serverExtensionFacility = &facility;
    try {
        serverExtensionEntry = HookProcedure(reinterpret_cast<THttpExtensionProc>(entry), &HookedHttpExtensionProc,
                                             "HttpExtensionProc");
    } catch (const EHookError&) {
        // Without the hook the page cannot reach the server; reports still go to the log.
    }
}

}  // namespace brenvik
