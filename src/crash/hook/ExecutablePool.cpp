#include "crash/hook/ExecutablePool.h"

#include <windows.h>

#include <algorithm>
#include <bitset>
#include <memory>
#include <mutex>
#include <vector>

namespace brenvik {

namespace {

constexpr std::size_t kChunkSize = 64 * 1024;  // the system's allocation granularity
constexpr std::size_t kBlocksPerChunk = kChunkSize / ExecutablePool::kBlockSize;

struct Chunk {
    std::uintptr_t base;
    std::bitset<kBlocksPerChunk> used;
};

std::mutex& PoolLock() {
    static std::mutex& lock = *new std::mutex;
    return lock;
}

std::vector<Chunk>& Chunks() {
    // Never destroyed: the facility unhooks during static destruction, in
    // whatever order the runtime tears the rest of the program down.
    static std::vector<Chunk>& chunks = *new std::vector<Chunk>;
    return chunks;
}

bool ChunkInReach(std::uintptr_t chunk, std::uintptr_t address) {
    return IsWithinRel32(address, chunk) && IsWithinRel32(address, chunk + kChunkSize);
}

std::uintptr_t TryReserve(std::uintptr_t base) {
    return reinterpret_cast<std::uintptr_t>(VirtualAlloc(reinterpret_cast<void*>(base), kChunkSize,
                                                         MEM_RESERVE | MEM_COMMIT, PAGE_EXECUTE_READWRITE));
}

// Walks the address space outwards from `address`, region by region, for a
// free granule in reach: first upwards, then downwards.
std::uintptr_t ReserveNear(std::uintptr_t address) {
    if constexpr (sizeof(void*) == 4) return TryReserve(0);
    SYSTEM_INFO system{};
    GetSystemInfo(&system);
    const auto lowest = reinterpret_cast<std::uintptr_t>(system.lpMinimumApplicationAddress);
    const auto highest = reinterpret_cast<std::uintptr_t>(system.lpMaximumApplicationAddress);
    const std::uintptr_t start = address & ~(kChunkSize - 1);
    for (std::uintptr_t cursor = start; cursor < highest && ChunkInReach(cursor, address);) {
        MEMORY_BASIC_INFORMATION region{};
        if (!VirtualQuery(reinterpret_cast<void*>(cursor), &region, sizeof region)) break;
        const auto regionEnd = reinterpret_cast<std::uintptr_t>(region.BaseAddress) + region.RegionSize;
        if (region.State == MEM_FREE && cursor + kChunkSize <= regionEnd)
            if (const std::uintptr_t chunk = TryReserve(cursor)) return chunk;
        cursor = (regionEnd + kChunkSize - 1) & ~(kChunkSize - 1);
    }
    for (std::uintptr_t cursor = start; cursor > lowest + kChunkSize && ChunkInReach(cursor - kChunkSize, address);) {
        cursor -= kChunkSize;
        MEMORY_BASIC_INFORMATION region{};
        if (!VirtualQuery(reinterpret_cast<void*>(cursor), &region, sizeof region)) break;
        const auto regionBase = reinterpret_cast<std::uintptr_t>(region.BaseAddress);
        if (region.State == MEM_FREE) {
            if (const std::uintptr_t chunk = TryReserve(cursor)) return chunk;
            continue;
        }
        cursor = std::min(cursor, regionBase & ~(kChunkSize - 1));
    }
    return 0;
}

unsigned char* TakeBlock(Chunk& chunk) {
    for (std::size_t index = 0; index < kBlocksPerChunk; ++index) {
        if (chunk.used[index]) continue;
        chunk.used[index] = true;
        return reinterpret_cast<unsigned char*>(chunk.base + index * ExecutablePool::kBlockSize);
    }
    return nullptr;
}

}  // namespace

bool IsWithinRel32(std::uintptr_t from, std::uintptr_t to) {
    if constexpr (sizeof(void*) == 4) return true;
    const auto distance = static_cast<std::int64_t>(to - from);
    return distance >= INT32_MIN && distance <= INT32_MAX;
}

unsigned char* ExecutablePool::AllocateNear(std::uintptr_t address) {
    std::lock_guard<std::mutex> guard(PoolLock());
    for (Chunk& chunk : Chunks())
        if (ChunkInReach(chunk.base, address) && !chunk.used.all()) return TakeBlock(chunk);
    const std::uintptr_t base = ReserveNear(address);
    if (!base) return nullptr;
    Chunks().push_back(Chunk{base, {}});
    return TakeBlock(Chunks().back());
}

void ExecutablePool::Release(unsigned char* block) {
    std::lock_guard<std::mutex> guard(PoolLock());
    const auto address = reinterpret_cast<std::uintptr_t>(block);
    for (Chunk& chunk : Chunks()) {
        if (address < chunk.base || address >= chunk.base + kChunkSize) continue;
        chunk.used[(address - chunk.base) / kBlockSize] = false;
        return;
    }
}

}  // namespace brenvik
