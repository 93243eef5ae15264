#include "crash/dialog/SourceJump.h"

#include <windows.h>

#include <algorithm>

namespace brenvik {

std::string SourceJumpRecord(const std::string& unitName, std::int32_t line) {
    std::string record(kSourceJumpRecordSize, '\0');
    // The name keeps its terminating zero inside the field.
    std::copy_n(unitName.begin(), std::min<std::size_t>(unitName.size(), 2047), record.begin());
    const auto value = static_cast<std::uint32_t>(line);
    for (int i = 0; i < 4; ++i) record[2048 + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    return record;
}

bool SendSourceJump(const std::string& unitName, std::int32_t line, const char* mailslot) {
    HANDLE slot =
        CreateFileA(mailslot, GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (slot == INVALID_HANDLE_VALUE) return false;
    const std::string record = SourceJumpRecord(unitName, line);
    DWORD written = 0;
    const bool done = WriteFile(slot, record.data(), static_cast<DWORD>(record.size()), &written, nullptr) != FALSE &&
                      written == record.size();
    CloseHandle(slot);
    return done;
}

}  // namespace brenvik
