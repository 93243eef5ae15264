#include "crash/intercept/UnhandledExceptions.h"

#include <httpext.h>

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
    }
    EndRaisingThread(facility);
}

LONG WINAPI OnUnhandledSystemException(EXCEPTION_POINTERS* pointers) {
    TCrashlog* facility = TCrashlog::Active();
    if (!facility || (pointers->ExceptionRecord->ExceptionCode & kUnwinderCodeMask) == kUnwinderCode)
        return previousFilter ? previousFilter(pointers) : EXCEPTION_CONTINUE_SEARCH;
    TRaiseRecord& record = ThreadRaiseRecord();
    RecordSystemRaise(*pointers, record);
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
}

void RemoveUnhandledHandlers() {
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
