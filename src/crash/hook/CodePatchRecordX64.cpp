#if defined(__x86_64__)
#include <cstring>
#include <initializer_list>

#include "crash/hook/CodePatchRecord.h"
#include "crash/hook/ExecutablePool.h"
#include "crash/hook/StubEntries.h"

namespace brenvik {

namespace {

constexpr std::size_t kRestoreEntry = 16;
constexpr std::size_t kRepatchEntry = 24;
constexpr std::size_t kReplacementJump = 88;

void PutAddress(unsigned char* at, std::uintptr_t value) { std::memcpy(at, &value, 8); }

void PutDisplacement(unsigned char* at, std::int64_t value) {
    const auto narrow = static_cast<std::int32_t>(value);
    std::memcpy(at, &narrow, 4);
}

// Writes `opcode` at stub offset `offset`, then a RIP-relative operand naming
// the record offset `field`; returns the offset after the instruction.
std::size_t PutRipRelative(unsigned char* record, std::size_t offset, std::initializer_list<unsigned char> opcode,
                           std::size_t field) {
    std::memcpy(record + offset, opcode.begin(), opcode.size());
    const std::size_t end = offset + opcode.size() + 4;
    PutDisplacement(record + offset + opcode.size(), static_cast<std::int64_t>(field) - static_cast<std::int64_t>(end));
    return end;
}

}  // namespace

bool BuildCodePatchRecord(unsigned char* record, std::uintptr_t procedure, std::uintptr_t replacement,
                          const unsigned char* original) {
    using L = CodePatchLayout;
    const auto base = reinterpret_cast<std::uintptr_t>(record);
    const std::uintptr_t jumpAddress = base + kReplacementJump;
    if (!IsWithinRel32(procedure + L::kPatchSize, jumpAddress)) return false;

    std::memset(record, 0xCC, L::kSize);
    PutAddress(record + L::kProcedure, procedure);
    PutAddress(record + L::kReplacement, replacement);
    PutAddress(record + kRestoreEntry, reinterpret_cast<std::uintptr_t>(&BrenvikHookRestoreEntry));
    PutAddress(record + kRepatchEntry, reinterpret_cast<std::uintptr_t>(&BrenvikHookRepatchEntry));
    std::memset(record + L::kCallsInFlight, 0, 4);
    std::memcpy(record + L::kOriginal, original, L::kPatchSize);

    unsigned char* patch = record + L::kPatch;
    patch[0] = 0xE9;
    PutDisplacement(patch + 1, static_cast<std::int64_t>(jumpAddress - (procedure + L::kPatchSize)));

    constexpr unsigned char kPushR11[] = {0x41, 0x53};
    std::size_t at = L::kStub;
    at = PutRipRelative(record, at, {0x4C, 0x8D, 0x1D}, 0);  // lea r11, [record]
    std::memcpy(record + at, kPushR11, 2);
    at = PutRipRelative(record, at + 2, {0xFF, 0x15}, kRestoreEntry);
    at = PutRipRelative(record, at, {0xFF, 0x15}, L::kProcedure);
    at = PutRipRelative(record, at, {0x4C, 0x8D, 0x1D}, 0);
    std::memcpy(record + at, kPushR11, 2);
    at = PutRipRelative(record, at + 2, {0xFF, 0x15}, kRepatchEntry);
    record[at] = 0xC3;  // ret: to the caller's return address the re-patch entry put back

    PutRipRelative(record, kReplacementJump, {0xFF, 0x25}, L::kReplacement);
    return true;
}

}  // namespace brenvik
#endif
