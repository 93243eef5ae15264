#pragma once
#include "crash/stack/CallStackEntry.h"
#include "crash/stack/ProcessMemory.h"

namespace brenvik {

// Where a jump through an import thunk (FF 25 and a slot) lands: the address
// held in the slot when the thunk and its slot lie in loaded modules and are
// readable; otherwise the address itself.
CrashAddress FollowImportThunk(const ProcessMemory& memory, ModuleLocator& modules, CrashAddress address,
                               TCodeArchitecture architecture = kBuildArchitecture);

// Reads a pointer of the architecture's size; false when it is not readable.
bool ReadPointer(const ProcessMemory& memory, CrashAddress address, TCodeArchitecture architecture,
                 CrashAddress& value);

// The slot an FF 15 / FF 25 instruction names through its 32-bit operand,
// given the address just past the instruction: absolute on x86, relative to
// that address on x86-64.
CrashAddress MemorySlot(std::int32_t operand, CrashAddress instructionEnd, TCodeArchitecture architecture);

}  // namespace brenvik
