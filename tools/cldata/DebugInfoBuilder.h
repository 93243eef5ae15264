#pragma once
#include <cstdint>
#include <vector>

#include "BinutilsListings.h"
#include "crash/debuginfo/DebugInfo.h"

namespace cldata {

// Where the code lies: offsets in the debug information count from
// ImageBase + 4096, and rows outside the code section are dropped.
struct CodeRange {
    std::uint64_t ImageBase = 0;
    std::uint64_t Start = 0;  // absolute address of the code section
    std::uint64_t End = 0;
};

// Turns line rows and code symbols into procedure records and unit records.
// Lines only rise within a unit record, so a file's code becomes one unit per
// function and per run of rising lines; each unit names its function in its
// first entry, so unit, class, procedure and line stay in step.
brenvik::TDebugInfo BuildDebugInfo(const std::vector<LineRow>& rows, const std::vector<CodeSymbol>& symbols,
                                   const CodeRange& code);

}  // namespace cldata
