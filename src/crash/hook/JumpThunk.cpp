#include "crash/hook/JumpThunk.h"

#include <cstring>

#include "crash/hook/ModuleAddress.h"
#include "crash/stack/ImportThunk.h"

namespace brenvik {

namespace {

constexpr std::size_t kIndirectJumpSize = 6;  // FF 25 and the 32-bit operand
constexpr std::size_t kThunkSize = 8;

// The filler after the jump: 8B C0 (mov eax, eax) is what the classic
// linkers emit; GNU ld, which builds this program, pads with 90 90.
bool IsThunkFiller(const unsigned char* filler) {
    return (filler[0] == 0x8B && filler[1] == 0xC0) || (filler[0] == 0x90 && filler[1] == 0x90);
}

}  // namespace

std::uintptr_t ResolveJumpThunk(std::uintptr_t address, const ProcessMemory& memory) {
    unsigned char thunk[kThunkSize];
    if (!memory.Read(address, thunk, sizeof thunk)) return address;
    if (thunk[0] != 0xFF || thunk[1] != 0x25 || !IsThunkFiller(thunk + 6)) return address;
    std::int32_t operand = 0;
    std::memcpy(&operand, thunk + 2, sizeof operand);
    const std::uintptr_t slot = MemorySlot(operand, address + kIndirectJumpSize, kBuildArchitecture);
    std::uintptr_t target = 0;
    if (!ModuleAt(address) || !ModuleAt(address + kThunkSize - 1) || !ModuleAt(slot) ||
        !memory.Read(slot, &target, sizeof target))
        return address;
    return target;
}

}  // namespace brenvik
