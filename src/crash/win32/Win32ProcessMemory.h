#pragma once
#include "crash/stack/ProcessMemory.h"

namespace brenvik {

// The own process's memory, tested page range by page range with VirtualQuery.
class Win32ProcessMemory : public ProcessMemory {
public:
    bool IsReadable(CrashAddress address, std::size_t size) const override;
    bool Read(CrashAddress address, void* buffer, std::size_t size) const override;
};

}  // namespace brenvik
