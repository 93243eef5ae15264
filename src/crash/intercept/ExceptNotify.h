#pragma once
#include <windows.h>

#include <string>

#include "crash/intercept/Crashlog.h"
#include "crash/intercept/RaiseRecord.h"

namespace brenvik {

// The exception handed to the report pipeline.
struct TPendingException {
    TRaisedObject Object;
    CrashAddress Address = 0;  // a throw: its call's return address
    bool Language = false;
};

// Where the pipeline reads the raising thread's state from.
struct TExceptNotifyParams {
    const CONTEXT* Context = nullptr;  // none: the report shows no registers
    CrashAddress StackTop = 0;
    CrashAddress StackPointer = 0;
    const TStackSnapshot* Stack = nullptr;  // the stack as it was at the raise
    DWORD ThreadId = 0;
    std::string FocusClassName;
    std::string FocusText;
};

// The exception and parameters a thread's raise record describes.
TPendingException PendingFromRecord(const TRaiseRecord& record);
TExceptNotifyParams ParamsFromRecord(const TRaiseRecord& record);

// Runs the report pipeline for an exception of the running thread. On the
// main thread it runs on an exception thread while the main thread keeps
// painting. True when the exception is to be passed on to the toolkit.
bool ExceptNotify(TCrashlog& facility, const TPendingException& exception, TExceptNotifyParams params);

// The pipeline itself; false when the facility dealt with the exception.
bool InternalExceptNotify(TCrashlog& facility, const TPendingException& exception, const TExceptNotifyParams& params);

// The window with the keyboard focus: its class name and its text, masked
// when it is a password edit.
void ReadFocusedWindow(DWORD mainThreadId, std::string& className, std::string& text);

}  // namespace brenvik
