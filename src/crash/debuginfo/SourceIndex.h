#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "crash/debuginfo/DebugInfo.h"

namespace brenvik {

// The line programs of a module run once, at load time, into address-sorted
// rows: symbolising a call stack then costs a binary search per address
// instead of a walk through every unit before the one that holds it. Answers
// exactly as FindSourceLocation does, overlapping units included.
class TSourceIndex {
public:
    explicit TSourceIndex(const TDebugInfo& info);

    std::optional<TSourceLocation> Find(std::uint32_t offset) const;

    // The procedure record whose code holds the offset: what is known of
    // code without line information.
    std::optional<TSourceLocation> FindProcedure(std::uint32_t offset) const;

private:
    struct Name {
        std::string Class, Procedure;
    };
    // From Start up to the next row's Start the code has this line and name.
    struct Row {
        std::uint64_t Start = 0;
        std::uint32_t Line = 0;
        std::uint32_t Name = 0;  // into names_
    };
    // A stretch of code that belongs to one unit: the first unit that holds
    // it wins, as in FindSourceLocation.
    struct Span {
        std::uint64_t Start = 0, End = 0;
        std::uint32_t Unit = 0;  // into units_
    };
    struct Unit {
        std::string Name;  // with ".pas" appended when it has no extension
        std::uint64_t End = 0;
        std::vector<Row> Rows;  // Start never falls, the first is the unit's code offset
    };

    std::vector<Name> names_;
    std::vector<Unit> units_;
    std::vector<Span> spans_;  // sorted, disjoint
    std::vector<TDebugProcedure> procedures_;  // sorted by offset
};

}  // namespace brenvik
