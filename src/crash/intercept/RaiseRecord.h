#pragma once
#include <windows.h>

#include <functional>

#include "crash/intercept/StackSnapshot.h"
#include "crash/intercept/ThrownObject.h"

namespace brenvik {

// What a thread's last raise left behind: the object, where it was raised,
// the registers there and a copy of the stack that produced it.
struct TRaiseRecord {
    bool Valid = false;
    bool Language = false;  // a throw of the program; else a system exception
    const void* Object = nullptr;
    TRaisedObject Description;  // a system exception is described when it is processed
    // A throw: the return address of its call. A system exception: the
    // faulting instruction.
    CrashAddress Address = 0;
    DWORD Code = 0;  // system exception code
    ULONG_PTR AccessKind = 0, AccessAddress = 0;  // of an access violation
    CONTEXT Context{};
    CrashAddress StackPointer = 0;
    CrashAddress StackTop = 0;
    TStackSnapshot Stack;
};

// The running thread's record (thread-local).
TRaiseRecord& ThreadRaiseRecord();
void ClearThreadRaiseRecord();
// Frees the running thread's record when the thread ends.
void ReleaseThreadRaiseRecord();

// Highest address of the running thread's stack.
CrashAddress CurrentStackTop();
// Copies the running thread's stack from stackPointer to its top (at most
// the innermost 256 KB).
void CopyOwnStack(CrashAddress stackPointer, TStackSnapshot& snapshot);

// Fills `record` with a system exception as the system describes it.
void RecordSystemRaise(const EXCEPTION_POINTERS& pointers, TRaiseRecord& record);

// Raise-time capture runs only between Install and Remove; onRaise is told
// of every captured raise, on the raising thread.
void InstallRaiseCapture(std::function<void(const TRaiseRecord&)> onRaise);
void RemoveRaiseCapture();

// The class name and message a system exception is reported with.
TRaisedObject DescribeSystemException(const TRaiseRecord& record);

}  // namespace brenvik
