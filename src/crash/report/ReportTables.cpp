#include "crash/report/ReportTables.h"

#include <algorithm>
#include <array>

namespace brenvik {

namespace {

constexpr std::size_t kColumns = 6;
using Row = std::array<std::string, kColumns>;

// A fixed-width text table: every column as wide as its widest cell or
// title, the first (address) column at least as wide as an address.
std::string TableBlock(const std::string& caption, const Row& titles, const std::vector<Row>& rows,
                       std::size_t addressWidth) {
    std::array<std::size_t, kColumns> widths{};
    widths[0] = addressWidth;
    auto widen = [&widths](const Row& row) {
        for (std::size_t i = 0; i < kColumns; ++i) widths[i] = std::max(widths[i], row[i].size());
    };
    widen(titles);
    for (const Row& row : rows) widen(row);

    std::size_t total = kColumns + 1;
    for (std::size_t width : widths) total += width;
    const std::string dashes(total, '-');
    auto line = [&widths](const Row& row) {
        std::string text = "|";
        for (std::size_t i = 0; i < kColumns; ++i) {
            text += row[i];
            text.append(widths[i] - row[i].size(), ' ');
            text += '|';
        }
        return text;
    };

    std::string block = caption + ":";
    block.append(kCrLf).append(dashes).append(kCrLf).append(line(titles)).append(kCrLf).append(dashes);
    for (const Row& row : rows) block.append(kCrLf).append(line(row));
    block.append(kCrLf).append(dashes);
    return block;
}

bool ShownInStack(const TCrashDebugInfo& entry) {
    return entry.Kind == dkProcedure || entry.Kind == dkQualified || entry.Kind == dkSourceLine;
}

}  // namespace

std::string CallStackText(const TCrashStackList& stack, const TCrashModuleOptions& options, int addressDigits) {
    const Row titles{options.GetText(47), options.GetText(48), options.GetText(49),
                     options.GetText(50), options.GetText(51), options.GetText(52)};
    std::vector<Row> rows;
    for (const TCrashDebugInfo& entry : stack) {
        if (!ShownInStack(entry)) continue;
        rows.push_back({HexText(entry.Address, addressDigits),
                        entry.Module ? ExtractFileName(entry.Module->FileName) : "", entry.UnitName, entry.ClassName,
                        entry.ProcedureName, entry.Line != 0 ? std::to_string(entry.Line) : ""});
    }
    return TableBlock(options.GetText(7), titles, rows, static_cast<std::size_t>(addressDigits));
}

std::string ModulesText(const TCrashModulesList& modules, const TCrashModuleOptions& options, int addressDigits) {
    const Row titles{options.GetText(62), options.GetText(63), options.GetText(64),
                     options.GetText(65), options.GetText(66), options.GetText(67)};
    std::vector<Row> rows;
    for (const auto& module : modules) {
        if (!module) continue;
        rows.push_back({HexText(module->Handle, addressDigits), ExtractFileName(module->FileName),
                        module->Description, module->Version, std::to_string(module->Size),
                        ExtractFileDir(module->FileName)});
    }
    return TableBlock(options.GetText(9), titles, rows, static_cast<std::size_t>(addressDigits));
}

std::string CallStackAndModulesText(const TCrashStackList& stack, const TCrashModulesList& modules,
                                    const TCrashModuleOptions& options, int addressDigits) {
    return CallStackText(stack, options, addressDigits) + "\r\n\r\n" + ModulesText(modules, options, addressDigits);
}

}  // namespace brenvik
