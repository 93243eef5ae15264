#pragma once
#include <cstdint>
#include <vector>

#include "crash/stack/ProcessMemory.h"

namespace brenvik {

// A copy of a thread's stack taken when an exception is raised, so the call
// stack can be read after handlers have run over that memory.
struct TStackSnapshot {
    CrashAddress Base = 0;  // address of Bytes[0]
    std::vector<std::uint8_t> Bytes;

    bool Empty() const { return Bytes.empty(); }
    CrashAddress End() const { return Base + Bytes.size(); }
};

// The snapshot where it covers a read, the live memory elsewhere.
class SnapshotMemory : public ProcessMemory {
public:
    SnapshotMemory(const TStackSnapshot& snapshot, const ProcessMemory& live) : snapshot_(snapshot), live_(live) {}

    bool IsReadable(CrashAddress address, std::size_t size) const override;
    bool Read(CrashAddress address, void* buffer, std::size_t size) const override;

private:
    bool Covers(CrashAddress address, std::size_t size) const;

    const TStackSnapshot& snapshot_;
    const ProcessMemory& live_;
};

}  // namespace brenvik
