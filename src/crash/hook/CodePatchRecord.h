#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace brenvik {

// One hooked procedure: its address, the replacement, the procedure's first
// bytes as they were, the jump that replaces them, and the pass-through stub
// that calls the procedure's own code. The bytes are machine code written at
// run time, so the layout is fixed per instruction set.
//
// x86 (67 bytes):
//    0  procedure address            4  replacement address
//    8  calls running through the stub (the procedure stays unpatched
//       while this is not zero)
//   12  original 5 bytes            17  patch: E9 + distance to the replacement
//   22  stub (45 bytes):
//         push record; call restore entry       (drops record and return address)
//         call procedure
//         push record; call re-patch entry      (puts the return address back)
//         ret; int3 filler
//
// x86-64 (96 bytes; allocated within 2 GB of the procedure so the 5-byte
// relative jump reaches it):
//    0  procedure address            8  replacement address
//   16  restore entry address       24  re-patch entry address
//   32  calls running through the stub
//   36  original 5 bytes            41  patch: E9 + distance to offset 88
//   48  stub (40 bytes): lea r11,[record]; push r11; call [record+16];
//         call [record+0]; lea r11,[record]; push r11; call [record+24]; ret
//   88  jmp [record+8]: the absolute jump on to the replacement, which may
//       lie anywhere in the address space
//
// The caller's return address does not live in the record: the restore entry
// moves it to a stack of the calling thread and the re-patch entry takes it
// back, so calls from several threads, and nested calls, each keep their own.
struct CodePatchLayout {
    static constexpr bool kWide = sizeof(void*) == 8;
    static constexpr std::size_t kPatchSize = 5;
    static constexpr std::size_t kProcedure = 0;
    static constexpr std::size_t kReplacement = kWide ? 8 : 4;
    static constexpr std::size_t kCallsInFlight = kWide ? 32 : 8;
    static constexpr std::size_t kOriginal = kWide ? 36 : 12;
    static constexpr std::size_t kPatch = kWide ? 41 : 17;
    static constexpr std::size_t kStub = kWide ? 48 : 22;
    static constexpr std::size_t kSize = kWide ? 96 : 67;
};

// Fills the record for `procedure`, whose first bytes are `original`. False
// when the patch's relative jump cannot reach its destination.
bool BuildCodePatchRecord(unsigned char* record, std::uintptr_t procedure, std::uintptr_t replacement,
                          const unsigned char* original);

inline std::uintptr_t PatchedProcedure(const unsigned char* record) {
    std::uintptr_t procedure = 0;
    std::memcpy(&procedure, record + CodePatchLayout::kProcedure, sizeof procedure);
    return procedure;
}

inline std::uint32_t* CallsInFlight(unsigned char* record) {
    return reinterpret_cast<std::uint32_t*>(record + CodePatchLayout::kCallsInFlight);
}

inline void* StubOf(unsigned char* record) { return record + CodePatchLayout::kStub; }

inline unsigned char* RecordOfStub(void* stub) { return static_cast<unsigned char*>(stub) - CodePatchLayout::kStub; }

}  // namespace brenvik
