#pragma once
#include <cstdint>
#include <istream>
#include <string>
#include <vector>

namespace cldata {

// One row of a decoded DWARF line table; an end-of-sequence row has Line -1.
struct LineRow {
    std::string File;  // file name without its folder
    std::int32_t Line = 0;
    std::uint64_t Address = 0;
};

// Rows of "objdump --dwarf=decodedline", sequences kept in listing order.
std::vector<LineRow> ParseDecodedLines(std::istream& listing);

struct CodeSymbol {
    std::uint64_t Address = 0;
    std::string Name;  // as linked (mangled)
};

// Code symbols of "nm --defined-only", sorted by address. Symbols of
// 32-bit x86 carry a leading underscore that is removed.
std::vector<CodeSymbol> ParseCodeSymbols(std::istream& listing, bool stripLeadingUnderscore);

}  // namespace cldata
