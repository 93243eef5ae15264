#include <algorithm>
#include <map>
#include <unordered_map>

#include "crash/debuginfo/DebugInfo.h"
#include "crash/debuginfo/SourceIndex.h"

namespace brenvik {
namespace {

struct ProcedureName {
    std::string Class, Procedure;
};

// ".Method" stays in the current class, "Class.Method" changes it, a plain
// name has no class.
ProcedureName InterpretName(const std::string& name, const ProcedureName& current) {
    ProcedureName result;
    if (!name.empty() && name[0] == '.') {
        result = {current.Class, name.substr(1)};
    } else if (std::size_t dot = name.find('.'); dot != std::string::npos) {
        result = {name.substr(0, dot), name.substr(dot + 1)};
    } else {
        result = {"", name};
    }
    if (!result.Procedure.empty() && result.Procedure[0] == '@') result.Procedure[0] = '_';
    return result;
}

std::string StoredUnitName(const TDebugUnit& unit) {
    return unit.Name.find('.') == std::string::npos ? unit.Name + ".pas" : unit.Name;
}

// Runs a unit's line program, handing visit(position, codeDelta, line, name)
// every entry's range. Class, procedure and line stay in step: a named
// entry's own range keeps the previous name, except the first named entry of
// a unit, which has no previous one. Stops early when visit returns true.
// Leaves position, line and name where the program ends: the code after the
// last entry has them.
struct ProgramRun {
    std::uint64_t Position = 0;
    std::uint32_t Line = 0;  // wraps rather than overflows on damaged data
    ProcedureName Current;
};

template <typename Visit>
ProgramRun RunProgram(const TDebugUnit& unit, Visit visit) {
    ProgramRun run{unit.CodeOffset, static_cast<std::uint32_t>(unit.FirstLine), {}};
    bool named = false;
    for (const TDebugLineEntry& entry : unit.Program) {
        ProcedureName next = entry.Name ? InterpretName(*entry.Name, run.Current) : run.Current;
        const ProcedureName& own = entry.Name && !named ? next : run.Current;
        if (visit(run.Position, entry.CodeDelta, run.Line, own)) return run;
        named = named || entry.Name.has_value();
        run.Line += entry.LineDelta;
        run.Position += entry.CodeDelta;
        run.Current = std::move(next);
    }
    return run;
}

TSourceLocation Located(std::string unitName, const ProcedureName& name, std::uint32_t line) {
    return {std::move(unitName), name.Class, name.Procedure, static_cast<std::int32_t>(line)};
}

TSourceLocation Locate(const TDebugUnit& unit, std::uint64_t offset) {
    std::optional<TSourceLocation> found;
    const ProgramRun end = RunProgram(unit, [&](std::uint64_t position, std::uint32_t delta, std::uint32_t line,
                                                const ProcedureName& name) {
        if (offset < position || offset >= position + delta) return false;
        found = Located(StoredUnitName(unit), name, line);
        return true;
    });
    return found ? *found : Located(StoredUnitName(unit), end.Current, end.Line);
}

}  // namespace

TSourceLocation ProcedureRecordLocation(const std::string& name) {
    TSourceLocation location;
    const std::size_t first = name.find('.'), last = name.rfind('.');
    if (first == std::string::npos) {
        location.ProcedureName = name;
        return location;
    }
    location.UnitName = name.substr(0, first);
    if (last > first) location.ClassName = name.substr(first + 1, last - first - 1);
    location.ProcedureName = name.substr(last + 1);
    return location;
}

std::optional<TSourceLocation> FindSourceLocation(const TDebugInfo& info, std::uint32_t offset) {
    for (const TDebugUnit& unit : info.Units) {
        if (offset >= unit.CodeOffset && offset - unit.CodeOffset < unit.CodeSize) return Locate(unit, offset);
    }
    return std::nullopt;
}

TSourceIndex::TSourceIndex(const TDebugInfo& info) {
    std::unordered_map<std::string, std::uint32_t> known;
    auto nameIndex = [&](const ProcedureName& name) {
        // Neither part holds a NUL, so the pair joined by one is unique.
        const auto [at, added] =
            known.try_emplace(name.Class + '\0' + name.Procedure, static_cast<std::uint32_t>(names_.size()));
        if (added) names_.push_back({name.Class, name.Procedure});
        return at->second;
    };
    auto addRow = [](std::vector<Row>& rows, Row row) {
        if (!rows.empty() && rows.back().Start == row.Start) rows.pop_back();  // an empty range
        rows.push_back(row);
    };

    // Claimed stretches, keyed by start; a later unit only gets what earlier ones left.
    std::map<std::uint64_t, Span> claimed;
    for (const TDebugUnit& unit : info.Units) {
        if (unit.CodeSize == 0) continue;
        const std::uint32_t index = static_cast<std::uint32_t>(units_.size());
        Unit& indexed = units_.emplace_back();
        indexed.Name = StoredUnitName(unit);
        const ProgramRun end = RunProgram(unit, [&](std::uint64_t position, std::uint32_t, std::uint32_t line,
                                                    const ProcedureName& name) {
            addRow(indexed.Rows, {position, line, nameIndex(name)});
            return false;
        });
        addRow(indexed.Rows, {end.Position, end.Line, nameIndex(end.Current)});

        std::uint64_t cursor = unit.CodeOffset;
        const std::uint64_t unitEnd = std::uint64_t(unit.CodeOffset) + unit.CodeSize;
        auto next = claimed.upper_bound(cursor);
        if (next != claimed.begin() && std::prev(next)->second.End > cursor) cursor = std::prev(next)->second.End;
        while (cursor < unitEnd) {
            const std::uint64_t gapEnd = next == claimed.end() ? unitEnd : std::min(unitEnd, next->first);
            if (cursor < gapEnd) claimed.emplace(cursor, Span{cursor, gapEnd, index});
            if (next == claimed.end()) break;
            cursor = next->second.End;
            next = claimed.upper_bound(cursor - 1);
            while (next != claimed.end() && next->second.End <= cursor) ++next;
        }
    }
    spans_.reserve(claimed.size());
    for (const auto& [start, span] : claimed) spans_.push_back(span);

    procedures_ = info.Procedures;
    std::stable_sort(procedures_.begin(), procedures_.end(),
                     [](const TDebugProcedure& a, const TDebugProcedure& b) { return a.Offset < b.Offset; });
}

std::optional<TSourceLocation> TSourceIndex::FindProcedure(std::uint32_t offset) const {
    auto after = std::upper_bound(procedures_.begin(), procedures_.end(), offset,
                                  [](std::uint32_t value, const TDebugProcedure& p) { return value < p.Offset; });
    if (after == procedures_.begin()) return std::nullopt;
    const TDebugProcedure& procedure = *--after;
    if (offset - procedure.Offset >= procedure.Size) return std::nullopt;
    return ProcedureRecordLocation(procedure.Name);
}

std::optional<TSourceLocation> TSourceIndex::Find(std::uint32_t offset) const {
    auto span = std::upper_bound(spans_.begin(), spans_.end(), offset,
                                 [](std::uint64_t value, const Span& s) { return value < s.Start; });
    if (span == spans_.begin() || offset >= (--span)->End) return std::nullopt;
    const Unit& unit = units_[span->Unit];
    auto row = std::upper_bound(unit.Rows.begin(), unit.Rows.end(), offset,
                                [](std::uint64_t value, const Row& r) { return value < r.Start; });
    --row;  // the first row starts at the unit's code offset, at or below any offset in its spans
    const Name& name = names_[row->Name];
    return TSourceLocation{unit.Name, name.Class, name.Procedure, static_cast<std::int32_t>(row->Line)};
}

}  // namespace brenvik
