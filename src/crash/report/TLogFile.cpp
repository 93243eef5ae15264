#include "crash/report/TLogFile.h"

#include <cerrno>
#include <cstdio>

#include "crash/report/FileReplace.h"

namespace brenvik {

namespace {

constexpr std::string_view kEntryStart = "Crashlog ";
constexpr std::string_view kEntryEnd = "\r\n\r\n\r\n\r\n";
constexpr std::size_t kEndKeptInEntry = 6;  // three of the four line breaks

bool EntryStartsAt(std::string_view text, std::size_t at) {
    return text.compare(at, kEntryStart.size(), kEntryStart) == 0 &&
           (at == 0 || (at >= 2 && text.compare(at - 2, 2, "\r\n") == 0));
}

// Three empty lines in a row would end the entry early on the next read and
// drop the rest of the report (the steps a user typed may hold them), so
// longer runs of line breaks are shortened.
std::string WithoutEntryEnd(std::string_view text) {
    std::string result(text);
    for (std::size_t at = result.find(kEntryEnd); at != std::string::npos; at = result.find(kEntryEnd, at))
        result.erase(at, 2);
    return result;
}

std::string ClosedEntry(std::string_view unterminated) {
    std::string entry(unterminated);
    std::size_t breaks = 0;
    while (entry.size() >= 2 * (breaks + 1) && entry.compare(entry.size() - 2 * (breaks + 1), 2, "\r\n") == 0)
        ++breaks;
    for (; breaks < 3; ++breaks) entry += "\r\n";
    return entry;
}

}  // namespace

TLogFile::TLogFile(std::string fileName) : fileName_(std::move(fileName)) {
    // A log that exists but cannot be opened or read (locked, no access)
    // must not be overwritten by a log that forgot its entries.
    errno = 0;
    std::FILE* file = std::fopen(fileName_.c_str(), "rb");
    if (!file) {
        if (errno == ENOENT) return;
        throw ECrashLogError("Cannot open file \"" + fileName_ + "\".");
    }
    std::string text;
    char buffer[65536];
    bool failed = false;
    try {
        while (const std::size_t read = std::fread(buffer, 1, sizeof buffer, file)) text.append(buffer, read);
        failed = std::ferror(file) != 0;
    } catch (const std::exception&) {
        failed = true;
    }
    std::fclose(file);
    if (failed) throw ECrashLogError("Cannot read file \"" + fileName_ + "\".");
    entries_ = SplitEntries(text);
}

std::vector<std::string> TLogFile::SplitEntries(std::string_view text) {
    std::vector<std::string> entries;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t start = text.find(kEntryStart, at);
        while (start != std::string_view::npos && !EntryStartsAt(text, start))
            start = text.find(kEntryStart, start + 1);
        if (start == std::string_view::npos) break;
        const std::size_t end = text.find(kEntryEnd, start);
        // A file cut short still keeps its last report, closed like the
        // others so that saving it again does not change it.
        if (end == std::string_view::npos) {
            entries.push_back(ClosedEntry(text.substr(start)));
            break;
        }
        entries.emplace_back(text.substr(start, end + kEndKeptInEntry - start));
        at = end + kEndKeptInEntry;
    }
    return entries;
}

void TLogFile::Add(std::string_view reportText, std::int32_t maximum) {
    while (!entries_.empty() && static_cast<std::int64_t>(entries_.size()) >= maximum) entries_.erase(entries_.begin());
    entries_.push_back(WithoutEntryEnd(reportText) + std::string(kEntryEnd));
}

bool TLogFile::IsDuplicate(const std::vector<std::string>& keys, const std::vector<std::string>& values) const {
    for (const std::string& entry : entries_) {
        bool matches = true;
        for (std::size_t i = 0; i < keys.size() && matches; ++i) {
            const std::size_t line = entry.find("\r\n  " + keys[i] + " ");
            const std::size_t separator = line == std::string::npos ? line : entry.find(": ", line + 2);
            if (separator == std::string::npos) {
                matches = false;
                break;
            }
            const std::size_t valueStart = separator + 2;
            std::size_t valueEnd = entry.find("\r\n", valueStart);
            if (valueEnd == std::string::npos) valueEnd = entry.size();
            matches = i < values.size() && entry.compare(valueStart, valueEnd - valueStart, values[i]) == 0;
        }
        if (matches) return true;
    }
    return false;
}

std::string TLogFile::Text() const {
    std::string text;
    for (const std::string& entry : entries_) text.append(entry).append("\r\n");
    return text;
}

void TLogFile::Save() const {
    if (!ReplaceFileContents(fileName_, Text())) throw ECrashLogError("Cannot create file \"" + fileName_ + "\".");
}

}  // namespace brenvik
