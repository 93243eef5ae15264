#include "crash/hook/ProcedureHooks.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <mutex>
#include <vector>

#include "crash/hook/CodePatchRecord.h"
#include "crash/hook/CodeWriter.h"
#include "crash/hook/ExecutablePool.h"
#include "crash/hook/JumpThunk.h"
#include "crash/hook/ModuleAddress.h"
#include "crash/hook/StubEntries.h"
#include "crash/win32/Win32CrashModule.h"
#include "crash/win32/Win32ProcessMemory.h"

namespace brenvik {

namespace {

// Guards the record list, the call counts and the patch state. It is held
// only while bytes change, never while a hooked procedure runs: a procedure
// that never returns (it ends its thread, say) must not stop other threads.
std::mutex& StateLock() {
    static std::mutex& lock = *new std::mutex;
    return lock;
}

std::vector<unsigned char*>& Records() {
    // Never destroyed: the facility unhooks during static destruction, in
    // whatever order the runtime tears the rest of the program down.
    static std::vector<unsigned char*>& records = *new std::vector<unsigned char*>;
    return records;
}

// Return addresses of the calls this thread is making through stubs,
// innermost last. Calls nest strictly within one thread, so a stack is
// enough; a shared slot in the record would be overwritten by a second
// thread, or by a recursive call, before the first one returned.
thread_local std::vector<std::uintptr_t> returnAddresses;

void* AddressOf(std::uintptr_t value) { return reinterpret_cast<void*>(value); }

bool WritePatchBytes(unsigned char* record, std::size_t field) {
    return WriteCode(AddressOf(PatchedProcedure(record)), record + field, CodePatchLayout::kPatchSize);
}

unsigned char* InstallRecord(std::uintptr_t procedure, std::uintptr_t replacement) {
    unsigned char original[CodePatchLayout::kPatchSize];
    if (!Win32ProcessMemory().Read(procedure, original, sizeof original)) return nullptr;
    unsigned char* record = ExecutablePool::AllocateNear(procedure);
    if (!record) return nullptr;
    if (!BuildCodePatchRecord(record, procedure, replacement, original) ||
        !WritePatchBytes(record, CodePatchLayout::kPatch)) {
        ExecutablePool::Release(record);
        return nullptr;
    }
    return record;
}

}  // namespace

// Several threads may call through one stub at once. The procedure is
// unpatched by the first of them and patched again by the last, so none of
// them calls the procedure while another has just re-patched it (which would
// run the replacement a second time). A thread that enters the procedure
// directly meanwhile runs its own code without the replacement, and is at
// risk: should it still be inside the first 5 bytes when the last call
// re-patches them, it goes on in the middle of the jump. Patching in place
// cannot exclude that; procedures called from several threads at once need
// a first instruction of 5 bytes or more, or a relocated copy of their first
// instructions instead of restore and re-patch.
extern "C" void BrenvikHookRestore(unsigned char* record, std::uintptr_t returnAddress) {
    const DWORD lastError = GetLastError();
    returnAddresses.push_back(returnAddress);
    {
        std::lock_guard<std::mutex> guard(StateLock());
        if ((*CallsInFlight(record))++ == 0) WritePatchBytes(record, CodePatchLayout::kOriginal);
    }
    SetLastError(lastError);
}

extern "C" std::uintptr_t BrenvikHookRepatch(unsigned char* record) {
    const DWORD lastError = GetLastError();
    {
        std::lock_guard<std::mutex> guard(StateLock());
        if (--(*CallsInFlight(record)) == 0) WritePatchBytes(record, CodePatchLayout::kPatch);
    }
    const std::uintptr_t returnAddress = returnAddresses.back();
    returnAddresses.pop_back();
    SetLastError(lastError);
    return returnAddress;
}

void* HookProcedure(void* procedure, void* replacement, const std::string& name) {
    const Win32ProcessMemory memory;
    const std::uintptr_t target = ResolveJumpThunk(reinterpret_cast<std::uintptr_t>(procedure), memory);
    const std::uintptr_t destination = ResolveJumpThunk(reinterpret_cast<std::uintptr_t>(replacement), memory);
    if (!target) throw EProcNull(name);
    if (IsInLegacySharedArea(target)) throw ESharedArea(ModuleFileName(ModuleAt(target)));

    std::lock_guard<std::mutex> guard(StateLock());
    unsigned char* record = InstallRecord(target, destination);
    if (!record) throw EHookingError(name);
    Records().push_back(record);
    return StubOf(record);
}

void UnhookProcedure(void* stub) {
    unsigned char* record = RecordOfStub(stub);
    std::lock_guard<std::mutex> guard(StateLock());
    auto& records = Records();
    const auto found = std::find(records.begin(), records.end(), record);
    if (found == records.end()) return;
    records.erase(found);
    WritePatchBytes(record, CodePatchLayout::kOriginal);
    if (*CallsInFlight(record) == 0) {
        ExecutablePool::Release(record);
        return;
    }
    // The last call to return re-patches from the patch field: make it write
    // the original bytes instead.
    std::memcpy(record + CodePatchLayout::kPatch, record + CodePatchLayout::kOriginal, CodePatchLayout::kPatchSize);
}

void UnhookAllProcedures() {
    std::vector<unsigned char*> records;
    {
        std::lock_guard<std::mutex> guard(StateLock());
        records = Records();
    }
    for (unsigned char* record : records) UnhookProcedure(StubOf(record));
}

}  // namespace brenvik
