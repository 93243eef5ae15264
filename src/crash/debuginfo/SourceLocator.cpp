#include "crash/debuginfo/DebugInfo.h"

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

TSourceLocation Located(const TDebugUnit& unit, const ProcedureName& name, std::uint32_t line) {
    std::string unitName = unit.Name.find('.') == std::string::npos ? unit.Name + ".pas" : unit.Name;
    return {std::move(unitName), name.Class, name.Procedure, static_cast<std::int32_t>(line)};
}

// Class, procedure and line stay in step: a named entry's own range keeps the
// previous name, except the first named entry of a unit, which has no
// previous one. The code after the last entry has the line and name reached.
TSourceLocation Locate(const TDebugUnit& unit, std::uint64_t offset) {
    std::uint32_t line = static_cast<std::uint32_t>(unit.FirstLine);  // wraps rather than overflows on damaged data
    std::uint64_t position = unit.CodeOffset;
    ProcedureName current;
    bool named = false;
    for (const TDebugLineEntry& entry : unit.Program) {
        ProcedureName next = entry.Name ? InterpretName(*entry.Name, current) : current;
        const ProcedureName& own = entry.Name && !named ? next : current;
        if (offset >= position && offset < position + entry.CodeDelta) return Located(unit, own, line);
        named = named || entry.Name.has_value();
        line += entry.LineDelta;
        position += entry.CodeDelta;
        current = std::move(next);
    }
    return Located(unit, current, line);
}

}  // namespace

std::optional<TSourceLocation> FindSourceLocation(const TDebugInfo& info, std::uint32_t offset) {
    for (const TDebugUnit& unit : info.Units) {
        if (offset >= unit.CodeOffset && offset - unit.CodeOffset < unit.CodeSize) return Locate(unit, offset);
    }
    return std::nullopt;
}

}  // namespace brenvik
