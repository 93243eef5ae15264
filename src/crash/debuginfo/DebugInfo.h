#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "crash/options/TCrashModuleOptions.h"

namespace brenvik {

// A module's debug information as stored after its options. Offsets count
// from the module's code: an address is module base + 4096 + offset.
struct TDebugProcedure {
    // Unit, class and method (or unit and procedure) joined by dots; the unit
    // is empty, leaving a leading dot, where no source file is known.
    std::string Name;
    std::uint32_t Offset = 0;
    std::uint32_t Size = 0;  // length of the procedure's code
    bool operator==(const TDebugProcedure&) const = default;
};

// One step of a unit's line program: the code from the running position to
// the position plus CodeDelta, minus one, has the running line and name;
// then both advance. A name given here becomes current for the code after.
struct TDebugLineEntry {
    std::uint32_t LineDelta = 1;  // 1 to 65536: lines only advance within a unit
    std::uint32_t CodeDelta = 1;  // 0 to 65536
    std::optional<std::string> Name;
    bool operator==(const TDebugLineEntry&) const = default;
};

struct TDebugUnit {
    std::string Name;  // source file name
    std::int32_t FirstLine = 0;
    std::uint32_t CodeOffset = 0;
    std::uint32_t CodeSize = 0;
    std::vector<TDebugLineEntry> Program;
    bool operator==(const TDebugUnit&) const = default;
};

struct TDebugInfo {
    std::vector<TDebugProcedure> Procedures;
    std::vector<TDebugUnit> Units;  // a file may have many units, one per run of rising lines
    bool operator==(const TDebugInfo&) const = default;
};

// The stored encodings of a line entry, smallest first.
enum class TLineEntryForm {
    Tiny,       // one byte, no name: line 1-4, code 1-32
    Named,      // one byte and a name: line 1-8, code 1-8
    Short,      // two bytes, optional name: line 1-32, code 1-128
    Long,       // four bytes, optional name: line 1-65536, code 0-4095
    Escaped,    // four bytes and two 16-bit deltas, optional name: line and code 1-65536
};

// The smallest form that holds the entry; nothing when none does.
std::optional<TLineEntryForm> LineEntryFormFor(const TDebugLineEntry& entry);

// Writes the current version's stream; raises ECrashStreamError for an entry
// no form holds or a name longer than 255 bytes.
std::string EncodeDebugInfo(const TDebugInfo& info);

// Reads a stream of the given data-block version; raises ECrashStreamError
// when it ends early or a unit's program overruns its stated length.
TDebugInfo DecodeDebugInfo(std::string_view stream, std::uint16_t version = kCrashDataVersion);

// Where a code offset lies in the source.
struct TSourceLocation {
    std::string UnitName;
    std::string ClassName;
    std::string ProcedureName;
    std::int32_t Line = 0;
    bool operator==(const TSourceLocation&) const = default;
};

// Runs the line programs of the units whose code holds the offset.
std::optional<TSourceLocation> FindSourceLocation(const TDebugInfo& info, std::uint32_t offset);

// A procedure record's name taken apart (line 0): the unit up to the first
// dot, the procedure after the last; a name without dots is the procedure alone.
TSourceLocation ProcedureRecordLocation(const std::string& name);

}  // namespace brenvik
