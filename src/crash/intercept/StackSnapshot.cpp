#include "crash/intercept/StackSnapshot.h"

#include <cstring>

namespace brenvik {

bool SnapshotMemory::Covers(CrashAddress address, std::size_t size) const {
    return !snapshot_.Empty() && address >= snapshot_.Base && address <= snapshot_.End() &&
           size <= snapshot_.End() - address;
}

bool SnapshotMemory::IsReadable(CrashAddress address, std::size_t size) const {
    return Covers(address, size) || live_.IsReadable(address, size);
}

bool SnapshotMemory::Read(CrashAddress address, void* buffer, std::size_t size) const {
    if (!Covers(address, size)) return live_.Read(address, buffer, size);
    std::memcpy(buffer, snapshot_.Bytes.data() + (address - snapshot_.Base), size);
    return true;
}

}  // namespace brenvik
