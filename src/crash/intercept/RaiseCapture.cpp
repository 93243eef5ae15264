// Raise-time capture: every throw of the program passes through the wrapper
// of the runtime's throw routine (linked with --wrap), every system error
// through a vectored handler, before any handler runs.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstring>

#include "crash/intercept/RaiseRecord.h"
#include "crash/win32/Win32ContextRegisters.h"

namespace brenvik {
namespace {

constexpr std::size_t kMaxStackCopy = 256 * 1024;
constexpr DWORD kErrorSeverity = 0xC0000000;

std::atomic<bool> captureInstalled{false};
// Built on first use and never destroyed: the program may start the facility
// from a static object of its own, and leave through exit() with it running.
std::function<void(const TRaiseRecord&)>& RaiseObserver() {
    static auto& observer = *new std::function<void(const TRaiseRecord&)>;
    return observer;
}
PVOID vectoredHandler = nullptr;

// Each thread's record, in a slot of the system's own thread storage: the
// runtime's thread-local variables take a process-wide lock that a thread
// suspended by the freeze watchdog may hold.
struct TThreadCapture {
    TRaiseRecord Record;
    bool Capturing = false;  // so a throw inside the capture is not captured
};
const DWORD captureSlot = TlsAlloc();

TThreadCapture& ThreadCapture() {
    auto* capture = static_cast<TThreadCapture*>(TlsGetValue(captureSlot));
    if (!capture) {
        capture = new TThreadCapture;
        TlsSetValue(captureSlot, capture);
    }
    return *capture;
}

void Notify(const TRaiseRecord& record) {
    if (const auto& observer = RaiseObserver()) observer(record);
}

LONG CALLBACK CaptureSystemRaise(EXCEPTION_POINTERS* pointers) {
    const DWORD code = pointers->ExceptionRecord->ExceptionCode;
    // Only errors pass, the system's and the program's own codes alike: not
    // warnings, breakpoints or debugger messages, nor the exception the x86-64
    // unwinder raises for every throw (the wrapper saw that one).
    if (!captureInstalled || (code & kErrorSeverity) != kErrorSeverity) return EXCEPTION_CONTINUE_SEARCH;
    TThreadCapture& capture = ThreadCapture();
    if (capture.Capturing) return EXCEPTION_CONTINUE_SEARCH;
    capture.Capturing = true;
    RecordSystemRaise(*pointers, capture.Record);
    Notify(capture.Record);
    capture.Capturing = false;
    return EXCEPTION_CONTINUE_SEARCH;
}

}  // namespace

void RecordSystemRaise(const EXCEPTION_POINTERS& pointers, TRaiseRecord& record) {
    const EXCEPTION_RECORD& exception = *pointers.ExceptionRecord;
    record = TRaiseRecord{};
    record.Valid = true;
    record.Address = reinterpret_cast<CrashAddress>(exception.ExceptionAddress);
    record.Code = exception.ExceptionCode;
    if (record.Code == EXCEPTION_ACCESS_VIOLATION && exception.NumberParameters >= 2) {
        record.AccessKind = exception.ExceptionInformation[0];
        record.AccessAddress = exception.ExceptionInformation[1];
    }
    record.Context = *pointers.ContextRecord;
    record.StackPointer = ContextStackPointer(record.Context);
    record.StackTop = CurrentStackTop();
    // An overflowed stack leaves no room to work in; its registers are enough.
    if (record.Code != EXCEPTION_STACK_OVERFLOW) CopyOwnStack(record.StackPointer, record.Stack);
}

TRaiseRecord& ThreadRaiseRecord() { return ThreadCapture().Record; }

void ClearThreadRaiseRecord() {
    if (TlsGetValue(captureSlot)) ThreadCapture().Record = TRaiseRecord{};
}

void ReleaseThreadRaiseRecord() {
    delete static_cast<TThreadCapture*>(TlsGetValue(captureSlot));
    TlsSetValue(captureSlot, nullptr);
}

CrashAddress CurrentStackTop() {
    return reinterpret_cast<CrashAddress>(reinterpret_cast<NT_TIB*>(NtCurrentTeb())->StackBase);
}

void CopyOwnStack(CrashAddress stackPointer, TStackSnapshot& snapshot) {
    const CrashAddress top = CurrentStackTop();
    if (stackPointer == 0 || stackPointer >= top) return;
    const std::size_t size = std::min<std::size_t>(top - stackPointer, kMaxStackCopy);
    snapshot.Base = stackPointer;
    snapshot.Bytes.resize(size);
    // The stack above the pointer is committed memory of this very thread.
    std::memcpy(snapshot.Bytes.data(), reinterpret_cast<const void*>(stackPointer), size);
}

void InstallRaiseCapture(std::function<void(const TRaiseRecord&)> onRaise) {
    RaiseObserver() = std::move(onRaise);
    vectoredHandler = AddVectoredExceptionHandler(1, CaptureSystemRaise);
    captureInstalled = true;
}

void RemoveRaiseCapture() {
    captureInstalled = false;
    if (vectoredHandler) RemoveVectoredExceptionHandler(vectoredHandler);
    vectoredHandler = nullptr;
    RaiseObserver() = nullptr;
}

// Called by the throw wrapper with the thrower's return address, stack
// pointer and frame pointer as they were at its call.
void CaptureLanguageRaise(void* object, const std::type_info& type, CrashAddress returnAddress,
                          CrashAddress stackPointer, CrashAddress framePointer) {
    if (!captureInstalled) return;
    TThreadCapture& capture = ThreadCapture();
    if (capture.Capturing) return;
    capture.Capturing = true;
    try {
        TRaiseRecord& record = capture.Record;
        record = TRaiseRecord{};
        RtlCaptureContext(&record.Context);
        // The registers of the raising call: the instruction of the call
        // (5 bytes before its return address) and the stack as it was there.
        SetContextAddresses(record.Context, returnAddress - 5, stackPointer, framePointer);
        record.Valid = true;
        record.Language = true;
        record.Object = object;
        record.Description = DescribeThrownObject(object, type);
        record.Address = returnAddress;
        record.StackPointer = stackPointer;
        record.StackTop = CurrentStackTop();
        CopyOwnStack(stackPointer, record.Stack);
        Notify(record);
    } catch (...) {
        // Out of memory while recording: the throw goes on unrecorded.
    }
    capture.Capturing = false;
}

}  // namespace brenvik

extern "C" {

[[noreturn]] void __real___cxa_throw(void* object, std::type_info* type, void (*destroy)(void*));

[[noreturn]] __attribute__((noinline)) void __wrap___cxa_throw(void* object, std::type_info* type,
                                                                void (*destroy)(void*)) {
    // With frame pointers the frame holds the caller's frame pointer and the
    // return address; the caller's stack pointer lies just above them.
    auto* const* frame = static_cast<void* const*>(__builtin_frame_address(0));
    brenvik::CaptureLanguageRaise(object, *type, reinterpret_cast<brenvik::CrashAddress>(frame[1]),
                                  reinterpret_cast<brenvik::CrashAddress>(frame + 2),
                                  reinterpret_cast<brenvik::CrashAddress>(frame[0]));
    __real___cxa_throw(object, type, destroy);
}

}  // extern "C"
