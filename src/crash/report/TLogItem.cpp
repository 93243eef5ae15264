#include "crash/report/TLogItem.h"

#include <algorithm>
#include <vector>

#include "crash/report/ReportFormat.h"

namespace brenvik {

namespace {

constexpr std::string_view kItemIndent = "  ";
constexpr std::string_view kSeparator = ": ";

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = text.find(kCrLf, start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + kCrLf.size();
    }
    return lines;
}

bool IsItemLine(const std::string& line) { return line.compare(0, kItemIndent.size(), kItemIndent) == 0; }

// Pads every item's name so that all ": " of the section share one column.
void AlignItems(std::vector<std::string>& items) {
    std::size_t column = 0;
    for (const std::string& line : items) {
        const std::size_t at = line.find(kSeparator);
        if (at != std::string::npos) column = std::max(column, at);
    }
    for (std::string& line : items) {
        const std::size_t at = line.find(kSeparator);
        if (at != std::string::npos) line.insert(at, column - at, ' ');
    }
}

}  // namespace

void TLogItem::Clear() {
    text_.clear();
    section_ = 0;
    item_ = 0;
}

void TLogItem::AddSection(const std::string& name) {
    ++section_;
    item_ = 0;
    if (!text_.empty()) text_.append(kCrLf).append(kCrLf);
    text_.append(name).append(":").append(kCrLf).append("-");
}

void TLogItem::AddItem(const std::string& name, const std::string& value, bool include) {
    ++item_;
    if (!include) return;
    text_.append(kCrLf)
        .append(kItemIndent)
        .append(std::to_string(section_))
        .append(".")
        .append(std::to_string(item_))
        .append(" ")
        .append(name)
        .append(kSeparator)
        .append(value);
}

std::string TLogItem::GetText() const {
    const std::vector<std::string> lines = SplitLines(text_);
    std::string result;
    std::size_t i = 0;
    while (i < lines.size()) {
        if (lines[i].empty()) {
            ++i;
            continue;
        }
        const std::string& header = lines[i++];
        // The dash line follows the header; it is rebuilt to the section's width.
        if (i < lines.size() && !lines[i].empty() && !IsItemLine(lines[i])) ++i;
        std::vector<std::string> items;
        while (i < lines.size() && IsItemLine(lines[i])) items.push_back(lines[i++]);
        // A section whose items were all left out disappears with its
        // separating empty line, also when it is the last one.
        if (items.empty()) continue;
        AlignItems(items);
        std::size_t width = 1;
        for (const std::string& line : items) width = std::max(width, line.size());
        if (!result.empty()) result.append(kCrLf);
        result.append(header).append(kCrLf).append(width, '-').append(kCrLf);
        for (const std::string& line : items) result.append(line).append(kCrLf);
    }
    return result;
}

}  // namespace brenvik
