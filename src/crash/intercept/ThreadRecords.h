#pragma once
#include <windows.h>

#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "crash/intercept/StackSnapshot.h"

namespace brenvik {

// A thread the program created, with the stack its creator had when it let
// the thread run, so a report from the thread can show how it came to be.
struct TThreadRecord {
    DWORD ThreadId = 0;
    TStackSnapshot CreatorStack;
};

class TThreadRecords {
public:
    TThreadRecord* Add(std::unique_ptr<TThreadRecord> record);
    void SetThreadId(TThreadRecord* record, DWORD threadId);
    void Remove(DWORD threadId);
    void Remove(const TThreadRecord* record);
    // The creator's stack kept for a thread; empty when none was taken.
    TStackSnapshot CreatorStackOf(DWORD threadId) const;
    // Keeps the calling thread's stack for the resumed thread; false when the
    // thread is not one of the list.
    bool KeepCreatorStack(DWORD threadId, CrashAddress stackPointer);

private:
    mutable std::mutex mutex_;
    std::vector<std::unique_ptr<TThreadRecord>> records_;
};

// Import redirections of CreateThread, ResumeThread and ExitThread in the
// program's own module; every thread it creates then starts inside the
// facility's wrapper and leaves the list when it ends.
void HookThreadFunctions(TThreadRecords& records);
void UnhookThreadFunctions();

}  // namespace brenvik
