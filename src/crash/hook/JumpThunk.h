#pragma once
#include <cstdint>

#include "crash/stack/ProcessMemory.h"

namespace brenvik {

// When `address` is an import thunk (FF 25 through a slot, then a two-byte
// filler) and the thunk and its slot lie in loaded modules and are readable,
// the address held in the slot; otherwise `address` itself.
std::uintptr_t ResolveJumpThunk(std::uintptr_t address, const ProcessMemory& memory);

}  // namespace brenvik
