#pragma once
#include <cstddef>
#include <cstdint>

namespace brenvik {

// Fixed-size blocks of executable memory for code-patch records. On x86-64 a
// block lies within a 32-bit distance of the address it is requested near,
// so a 5-byte relative jump from there reaches it; on x86 every address does.
class ExecutablePool {
public:
    static constexpr std::size_t kBlockSize = 128;

    // Null when no memory in reach can be had.
    static unsigned char* AllocateNear(std::uintptr_t address);
    static void Release(unsigned char* block);
};

// Whether a 32-bit displacement measured from `from` reaches `to`.
bool IsWithinRel32(std::uintptr_t from, std::uintptr_t to);

}  // namespace brenvik
