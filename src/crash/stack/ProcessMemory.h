#pragma once
#include <cstddef>
#include <cstdint>

#include "crash/stack/CrashStackTypes.h"

namespace brenvik {

// Reads of the process's own memory for the report: every read is preceded
// by a readability test, so a bad address yields false instead of a fault.
class ProcessMemory {
public:
    virtual ~ProcessMemory() = default;
    virtual bool IsReadable(CrashAddress address, std::size_t size) const = 0;
    // Copies size bytes when all of them are readable; false otherwise.
    virtual bool Read(CrashAddress address, void* buffer, std::size_t size) const = 0;
};

}  // namespace brenvik
