#pragma once
#include <cstdint>
#include <string>

namespace brenvik {

// Asks a development-environment add-in listening on the mailslot
// "\\.\mailslot\Crashlog" to open a source file at a line. The record is
// 2052 bytes: the unit name, zero-terminated, in a zero-filled 2048-byte
// field, then the line as a little-endian 32-bit integer.
inline constexpr const char* kSourceJumpMailslot = "\\\\.\\mailslot\\Crashlog";
inline constexpr std::size_t kSourceJumpRecordSize = 2052;

std::string SourceJumpRecord(const std::string& unitName, std::int32_t line);

// True only when the whole record was written; a missing mailslot is no error
// worth reporting, so callers ignore the result.
bool SendSourceJump(const std::string& unitName, std::int32_t line, const char* mailslot = kSourceJumpMailslot);

}  // namespace brenvik
