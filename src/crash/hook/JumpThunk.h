#pragma once
#include <cstdint>

#include "crash/stack/ProcessMemory.h"

namespace brenvik {

// The memory slot named by an indirect jump or call (FF 25 / FF 15 and a
// 32-bit operand) that starts at `instruction`: the operand is the slot's
// address on x86 and its distance from the next instruction on x86-64.
std::uintptr_t IndirectSlot(std::uintptr_t instruction, std::int32_t operand);

// When `address` is an import thunk (FF 25 through a slot, then a two-byte
// filler) and the thunk and its slot lie in loaded modules and are readable,
// the address held in the slot; otherwise `address` itself.
std::uintptr_t ResolveJumpThunk(std::uintptr_t address, const ProcessMemory& memory);

}  // namespace brenvik
