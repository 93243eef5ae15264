// The log-file reader on untrusted bytes: every entry it keeps must be a
// whole, closed entry, saving and reading again must give the same entries,
// and an added report must come back as the newest entry.
#include <cstddef>
#include <cstdint>
#include <algorithm>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "crash/report/TLogFile.h"

using namespace brenvik;

namespace {

constexpr std::string_view kClose = "\r\n\r\n\r\n";

void Require(bool condition) {
    if (!condition) std::abort();
}

void CheckEntries(const std::vector<std::string>& entries) {
    for (const std::string& entry : entries) {
        Require(entry.compare(0, 9, "Crashlog ") == 0);
        Require(entry.size() >= 9 + kClose.size() && entry.compare(entry.size() - kClose.size(), kClose.size(), kClose) == 0);
        Require(entry.find("\r\n\r\n\r\n\r\n") == std::string::npos);
    }
}

std::string JoinedText(const std::vector<std::string>& entries) {
    std::string text;
    for (const std::string& entry : entries) text += entry + "\r\n";
    return text;
}

// The text without any line breaks: what a report may lose in the log.
std::string WithoutBreaks(std::string_view text) {
    std::string result;
    std::size_t at = 0;
    for (std::size_t next = text.find("\r\n"); next != std::string_view::npos; next = text.find("\r\n", at)) {
        result.append(text.substr(at, next - at));
        at = next + 2;
    }
    result.append(text.substr(at));
    return result;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> entries = TLogFile::SplitEntries(bytes);
    CheckEntries(entries);
    Require(TLogFile::SplitEntries(JoinedText(entries)) == entries);

    // The input's tail, as a report, added to a log read from its head.
    const std::size_t half = size / 2;
    TLogFile log("/nonexistent/fuzz.clog");
    std::vector<std::string> before = TLogFile::SplitEntries(bytes.substr(0, half));
    const std::string report = "Crashlog " + std::string(bytes.substr(half));
    for (const std::string& entry : before) log.Add(entry, 1000);
    log.Add(report, 1000);
    const std::vector<std::string> reread = TLogFile::SplitEntries(log.Text());
    CheckEntries(reread);
    Require(reread.size() == before.size() + 1);
    Require(std::equal(before.begin(), before.end(), reread.begin()));
    Require(WithoutBreaks(reread.back()) == WithoutBreaks(report));

    // Key lookups on whatever was read never reach outside an entry.
    const std::string key = before.empty() ? "2.2" : before.front().substr(0, 3);
    log.IsDuplicate({key, "2.5"}, {std::string(bytes.substr(0, half % 16)), ""});
    return 0;
}
