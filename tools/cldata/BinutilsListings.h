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
    std::string Name;    // as linked (mangled)
    std::string Source;  // the source file its object was compiled from, empty when unknown
};

// Code symbols of "objdump --syms" on a linked image, sorted by address:
// the symbols in section number codeSection (counted from 1), at
// codeStart + their value. Each object's symbols follow its ".file" record,
// which names its source; runtime objects built without one say "fake".
// Symbols of 32-bit x86 carry a leading underscore that is removed.
std::vector<CodeSymbol> ParseCodeSymbols(std::istream& listing, int codeSection, std::uint64_t codeStart,
                                         bool stripLeadingUnderscore);

}  // namespace cldata
