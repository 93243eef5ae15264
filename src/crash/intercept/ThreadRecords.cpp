#include "crash/intercept/ThreadRecords.h"

#include <algorithm>

#include "crash/intercept/RaiseRecord.h"
#include "crash/hook/ImportHooks.h"
#include "crash/win32/Win32CrashModule.h"

namespace brenvik {

TThreadRecord* TThreadRecords::Add(std::unique_ptr<TThreadRecord> record) {
    std::lock_guard lock(mutex_);
    records_.push_back(std::move(record));
    return records_.back().get();
}

void TThreadRecords::SetThreadId(TThreadRecord* record, DWORD threadId) {
    std::lock_guard lock(mutex_);
    record->ThreadId = threadId;
}

void TThreadRecords::Remove(DWORD threadId) {
    std::lock_guard lock(mutex_);
    std::erase_if(records_, [threadId](const auto& record) { return record->ThreadId == threadId; });
}

void TThreadRecords::Remove(const TThreadRecord* record) {
    std::lock_guard lock(mutex_);
    std::erase_if(records_, [record](const auto& kept) { return kept.get() == record; });
}

TStackSnapshot TThreadRecords::CreatorStackOf(DWORD threadId) const {
    std::lock_guard lock(mutex_);
    for (const auto& record : records_)
        if (record->ThreadId == threadId) return record->CreatorStack;
    return {};
}

bool TThreadRecords::KeepCreatorStack(DWORD threadId, CrashAddress stackPointer) {
    std::lock_guard lock(mutex_);
    for (const auto& record : records_) {
        if (record->ThreadId != threadId) continue;
        record->CreatorStack = {};
        CopyOwnStack(stackPointer, record->CreatorStack);
        return true;
    }
    return false;
}

namespace {

TThreadRecords* hookedRecords = nullptr;
decltype(&CreateThread) realCreateThread = nullptr;
decltype(&ResumeThread) realResumeThread = nullptr;
decltype(&ExitThread) realExitThread = nullptr;

struct TThreadStart {
    TThreadRecords* Records;
    LPTHREAD_START_ROUTINE Routine;
    LPVOID Parameter;
};

DWORD WINAPI HookedThreadProc(LPVOID parameter) {
    // The record may leave the list while the thread runs; its start is copied.
    const std::unique_ptr<TThreadStart> start(static_cast<TThreadStart*>(parameter));
    const DWORD result = start->Routine(start->Parameter);
    // An exception no handler catches never comes back here: it is reported
    // where it was raised and ends the thread with exit code 1.
    start->Records->Remove(GetCurrentThreadId());
    ReleaseThreadRaiseRecord();
    return result;
}

HANDLE WINAPI HookedCreateThread(LPSECURITY_ATTRIBUTES security, SIZE_T stackSize, LPTHREAD_START_ROUTINE routine,
                                 LPVOID parameter, DWORD flags, LPDWORD threadId) {
    TThreadRecords* records = hookedRecords;
    if (!records) return realCreateThread(security, stackSize, routine, parameter, flags, threadId);
    TThreadRecord* kept = records->Add(std::make_unique<TThreadRecord>());
    auto* start = new TThreadStart{records, routine, parameter};
    // Suspended until the record knows its thread, so the thread cannot end first.
    DWORD id = 0;
    HANDLE handle = realCreateThread(security, stackSize, HookedThreadProc, start, flags | CREATE_SUSPENDED, &id);
    if (!handle) {
        delete start;
        records->Remove(kept);
        return nullptr;
    }
    records->SetThreadId(kept, id);
    if (!(flags & CREATE_SUSPENDED)) realResumeThread(handle);
    if (threadId) *threadId = id;
    return handle;
}

DWORD WINAPI HookedResumeThread(HANDLE thread) {
    if (TThreadRecords* records = hookedRecords) {
        const auto* frame = static_cast<void* const*>(__builtin_frame_address(0));
        records->KeepCreatorStack(GetThreadId(thread), reinterpret_cast<CrashAddress>(frame));
    }
    return realResumeThread(thread);
}

void WINAPI HookedExitThread(DWORD exitCode) {
    if (TThreadRecords* records = hookedRecords) records->Remove(GetCurrentThreadId());
    ReleaseThreadRaiseRecord();
    realExitThread(exitCode);
}

template <class Function>
void Redirect(const char* name, Function& real, Function replacement) {
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    real = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(kernel, name)));
    if (!real) return;
    try {
        HookImport(CrashFacilityModule(), reinterpret_cast<void*>(real), reinterpret_cast<void*>(replacement), false,
                   true, name);
    } catch (const EHookError&) {
        // A module that never calls the function has no slot to redirect.
    }
}

}  // namespace

void HookThreadFunctions(TThreadRecords& records) {
    hookedRecords = &records;
    Redirect("CreateThread", realCreateThread, &HookedCreateThread);
    Redirect("ResumeThread", realResumeThread, &HookedResumeThread);
    Redirect("ExitThread", realExitThread, &HookedExitThread);
}

void UnhookThreadFunctions() { hookedRecords = nullptr; }

}  // namespace brenvik
