#include "DebugInfoBuilder.h"

#include <algorithm>

#include "CppNames.h"

namespace cldata {
namespace {

using brenvik::TDebugInfo;
using brenvik::TDebugLineEntry;
using brenvik::TDebugUnit;

constexpr std::size_t kShortStringLimit = 255;
constexpr std::uint32_t kDeltaLimit = 65536;

// Code with one file, line and function.
struct Segment {
    std::uint64_t Start, End;
    const std::string* File;
    std::int32_t Line;
    std::size_t Function;  // index into the symbols, or npos
};

std::vector<Segment> SegmentsOf(const std::vector<LineRow>& rows, const CodeRange& code) {
    std::vector<Segment> segments;
    for (std::size_t i = 0; i + 1 < rows.size(); ++i) {
        const LineRow& row = rows[i];
        if (row.Line < 0 || rows[i + 1].Address <= row.Address) continue;
        if (row.Address < code.Start || rows[i + 1].Address > code.End) continue;  // code the linker dropped
        segments.push_back({row.Address, rows[i + 1].Address, &row.File, row.Line, std::string::npos});
    }
    std::stable_sort(segments.begin(), segments.end(), [](const Segment& a, const Segment& b) { return a.Start < b.Start; });
    return segments;
}

// Cuts segments at function starts and ties each piece to its function;
// line 0 (code of no particular line) takes the line before it.
std::vector<Segment> AssignFunctions(const std::vector<Segment>& segments, const std::vector<CodeSymbol>& symbols) {
    std::vector<Segment> result;
    for (Segment segment : segments) {
        if (!result.empty() && result.back().End > segment.Start) segment.Start = result.back().End;  // overlap
        while (segment.Start < segment.End) {
            auto next = std::upper_bound(symbols.begin(), symbols.end(), segment.Start,
                                         [](std::uint64_t address, const CodeSymbol& s) { return address < s.Address; });
            Segment piece = segment;
            piece.Function = next == symbols.begin() ? std::string::npos : static_cast<std::size_t>(next - symbols.begin() - 1);
            if (next != symbols.end()) piece.End = std::min(piece.End, next->Address);
            if (piece.Line == 0) {
                if (result.empty() || result.back().End != piece.Start || result.back().Function != piece.Function) {
                    segment.Start = piece.End;
                    continue;
                }
                piece.Line = result.back().Line;
                piece.File = result.back().File;
            }
            if (!result.empty() && result.back().End == piece.Start && result.back().Function == piece.Function &&
                result.back().Line == piece.Line && *result.back().File == *piece.File)
                result.back().End = piece.End;
            else
                result.push_back(piece);
            segment.Start = piece.End;
        }
    }
    return result;
}

std::string Truncated(std::string text) {
    if (text.size() > kShortStringLimit) text.resize(kShortStringLimit);
    return text;
}

// The name a unit's first entry carries: "Class.Procedure", or the procedure
// alone; a dotted procedure without a class keeps the empty class with ".".
std::string EntryName(const QualifiedName& name) {
    std::string owner = name.Class;
    std::replace(owner.begin(), owner.end(), '.', '_');
    std::string procedure = name.Procedure.substr(0, kShortStringLimit - 1);
    if (owner.empty()) return procedure.find('.') == std::string::npos ? procedure : "." + procedure;
    owner.resize(std::min(owner.size(), kShortStringLimit - 1 - procedure.size()));
    return owner + "." + procedure;
}

// Readers take a unit name without a dot for an old-style one and add an
// extension to it; extensionless headers (<tuple>) keep a closing dot instead.
std::string UnitName(const std::string& file) {
    return Truncated(file.find('.') == std::string::npos ? file + "." : file);
}

std::string StemOf(const std::string& file) { return file.substr(0, file.rfind('.')); }

bool Continues(const Segment& previous, const Segment& next) {
    return previous.End == next.Start && previous.Function == next.Function && *previous.File == *next.File &&
           next.Line > previous.Line && static_cast<std::uint64_t>(next.Line - previous.Line) <= kDeltaLimit &&
           next.Start - previous.Start <= kDeltaLimit;
}

}  // namespace

TDebugInfo BuildDebugInfo(const std::vector<LineRow>& rows, const std::vector<CodeSymbol>& symbols,
                          const CodeRange& code) {
    const std::uint64_t origin = code.ImageBase + 4096;
    std::vector<QualifiedName> names;
    for (const CodeSymbol& symbol : symbols) names.push_back(SplitSymbolName(symbol.Name));

    const std::vector<Segment> segments = AssignFunctions(SegmentsOf(rows, code), symbols);
    TDebugInfo info;
    for (std::size_t first = 0, last; first < segments.size(); first = last) {
        for (last = first + 1; last < segments.size() && Continues(segments[last - 1], segments[last]);) ++last;
        const Segment& head = segments[first];
        TDebugUnit unit;
        unit.Name = UnitName(*head.File);
        unit.CodeOffset = static_cast<std::uint32_t>(head.Start - origin);
        unit.CodeSize = static_cast<std::uint32_t>(segments[last - 1].End - head.Start);
        const std::optional<std::string> name =
            head.Function == std::string::npos ? std::optional<std::string>() : EntryName(names[head.Function]);
        // A unit of one line names its function with an entry that covers no code.
        unit.FirstLine = last - first == 1 && name ? head.Line - 1 : head.Line;
        if (last - first == 1 && name) unit.Program.push_back({1, 0, name});
        for (std::size_t i = first + 1; i < last; ++i) {
            const Segment& previous = segments[i - 1];
            unit.Program.push_back({static_cast<std::uint32_t>(segments[i].Line - previous.Line),
                                    static_cast<std::uint32_t>(segments[i].Start - previous.Start),
                                    i == first + 1 ? name : std::nullopt});
        }
        info.Units.push_back(std::move(unit));
    }
    for (std::size_t i = 0; i < symbols.size(); ++i) {
        const CodeSymbol& symbol = symbols[i];
        if (symbol.Address < code.Start || symbol.Address >= code.End) continue;
        const std::uint64_t end = i + 1 < symbols.size() ? std::min(symbols[i + 1].Address, code.End) : code.End;
        const QualifiedName& name = names[i];
        // Code with lines belongs to their file; code without (the runtime
        // libraries) to the source its object names, when it names one.
        auto inside = std::lower_bound(segments.begin(), segments.end(), symbol.Address,
                                       [](const Segment& s, std::uint64_t address) { return s.End <= address; });
        const std::string& source =
            inside != segments.end() && inside->Start <= symbol.Address ? *inside->File : symbol.Source;
        const std::string unit = source.empty() ? "." : StemOf(source) + ".";
        info.Procedures.push_back({Truncated(unit + (name.Class.empty() ? "" : name.Class + ".") + name.Procedure),
                                   static_cast<std::uint32_t>(symbol.Address - origin),
                                   static_cast<std::uint32_t>(end - symbol.Address)});
    }
    return info;
}

}  // namespace cldata
