#pragma once
#include <windows.h>

#include <cstdint>

namespace brenvik {

// The loaded module whose image holds the address; null when none does.
HMODULE ModuleAt(std::uintptr_t address);

// True for an address in the upper half of the address space on a system
// outside the NT family, where that half is shared between processes.
bool IsInLegacySharedArea(std::uintptr_t address);

}  // namespace brenvik
