#include "crash/stack/ImportThunk.h"

#include <cstring>

namespace brenvik {
namespace {

// The bytes after the 6-byte jump: the 2-byte "mov eax, eax" filler of the
// toolchain the format was designed for; mingw pads with two NOPs instead,
// or puts the next thunk right behind without any filler.
bool IsThunkTail(const std::uint8_t* tail) {
    return (tail[0] == 0x8B && tail[1] == 0xC0) || (tail[0] == 0x90 && tail[1] == 0x90) ||
           (tail[0] == 0xFF && tail[1] == 0x25);
}

}  // namespace

bool ReadPointer(const ProcessMemory& memory, CrashAddress address, TCodeArchitecture architecture,
                 CrashAddress& value) {
    std::uint64_t bytes = 0;  // little-endian: a 4-byte pointer fills the low half
    if (!memory.Read(address, &bytes, PointerSize(architecture))) return false;
    value = static_cast<CrashAddress>(bytes);
    return true;
}

CrashAddress MemorySlot(std::int32_t operand, CrashAddress instructionEnd, TCodeArchitecture architecture) {
    if (architecture == TCodeArchitecture::X64)
        return instructionEnd + static_cast<CrashAddress>(static_cast<std::int64_t>(operand));
    return static_cast<std::uint32_t>(operand);
}

CrashAddress FollowImportThunk(const ProcessMemory& memory, ModuleLocator& modules, CrashAddress address,
                               TCodeArchitecture architecture) {
    std::uint8_t thunk[8];
    if (!memory.Read(address, thunk, sizeof thunk) || thunk[0] != 0xFF || thunk[1] != 0x25 ||
        !IsThunkTail(thunk + 6) || !modules.ModuleAt(address))
        return address;
    std::int32_t operand;
    std::memcpy(&operand, thunk + 2, sizeof operand);
    const CrashAddress slot = MemorySlot(operand, address + 6, architecture);
    CrashAddress target = 0;
    if (!modules.ModuleAt(slot) || !ReadPointer(memory, slot, architecture, target)) return address;
    return target;
}

}  // namespace brenvik
