#if defined(__i386__)
#include <cstring>

#include "crash/hook/CodePatchRecord.h"
#include "crash/hook/StubEntries.h"

namespace brenvik {

namespace {

void PutAddress(unsigned char* at, std::uintptr_t value) { std::memcpy(at, &value, 4); }

// An E8/E9 instruction at `at` (inside the record or the procedure, whose
// real address is `atAddress`) to `destination`.
void PutRelative(unsigned char* at, std::uintptr_t atAddress, unsigned char opcode, std::uintptr_t destination) {
    at[0] = opcode;
    PutAddress(at + 1, destination - (atAddress + 5));
}

}  // namespace

bool BuildCodePatchRecord(unsigned char* record, std::uintptr_t procedure, std::uintptr_t replacement,
                          const unsigned char* original) {
    using L = CodePatchLayout;
    const auto base = reinterpret_cast<std::uintptr_t>(record);
    std::memset(record, 0xCC, L::kSize);
    PutAddress(record + L::kProcedure, procedure);
    PutAddress(record + L::kReplacement, replacement);
    std::memset(record + L::kCallsInFlight, 0, 4);
    std::memcpy(record + L::kOriginal, original, L::kPatchSize);

    // The patch's distance is measured from the end of the procedure's first
    // 5 bytes, where the jump instruction ends once written there.
    unsigned char* patch = record + L::kPatch;
    patch[0] = 0xE9;
    PutAddress(patch + 1, replacement - (procedure + 5));

    unsigned char* stub = record + L::kStub;
    stub[0] = 0x68;  // push record
    PutAddress(stub + 1, base);
    PutRelative(stub + 5, base + L::kStub + 5, 0xE8, reinterpret_cast<std::uintptr_t>(&BrenvikHookRestoreEntry));
    PutRelative(stub + 10, base + L::kStub + 10, 0xE8, procedure);
    stub[15] = 0x68;
    PutAddress(stub + 16, base);
    PutRelative(stub + 20, base + L::kStub + 20, 0xE8, reinterpret_cast<std::uintptr_t>(&BrenvikHookRepatchEntry));
    stub[25] = 0xC3;  // ret: to the caller's return address the re-patch entry put back
    return true;
}

}  // namespace brenvik
#endif
