#include "crash/hook/CodeWriter.h"

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <mutex>

namespace brenvik {

namespace {

// VirtualProtect hands back the page's protection at the moment of the call:
// two writers on one page interleaving would leave it writable or restore a
// stale value, so writes are serialised. The lock is held only for the copy.
std::mutex& WriteLock() {
    // Never destroyed: the facility unhooks during static destruction, in
    // whatever order the runtime tears the rest of the program down.
    static std::mutex& lock = *new std::mutex;
    return lock;
}

// A thread may be entering the procedure while its first bytes change. When
// the bytes lie inside one aligned 8-byte word, a single atomic store lets it
// see either the old or the new instruction, never a mix of both.
void CopyBytes(void* address, const void* bytes, std::size_t size) {
    const auto start = reinterpret_cast<std::uintptr_t>(address);
    const std::uintptr_t word = start & ~std::uintptr_t{7};
    if (start + size > word + 8) {
        std::memcpy(address, bytes, size);
        return;
    }
    auto* wordAddress = reinterpret_cast<std::uint64_t*>(word);
    std::uint64_t value = __atomic_load_n(wordAddress, __ATOMIC_SEQ_CST);
    std::memcpy(reinterpret_cast<unsigned char*>(&value) + (start - word), bytes, size);
    __atomic_store_n(wordAddress, value, __ATOMIC_SEQ_CST);
}

}  // namespace

bool WriteCode(void* address, const void* bytes, std::size_t size) {
    std::lock_guard<std::mutex> guard(WriteLock());
    DWORD previous = 0;
    if (!VirtualProtect(address, size, PAGE_EXECUTE_READWRITE, &previous)) return false;
    CopyBytes(address, bytes, size);
    DWORD ignored = 0;
    VirtualProtect(address, size, previous, &ignored);
    FlushInstructionCache(GetCurrentProcess(), address, size);
    return true;
}

}  // namespace brenvik
