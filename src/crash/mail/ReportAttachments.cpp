#include "crash/mail/ReportAttachments.h"

#include <cstdio>
#include <optional>

namespace brenvik {
namespace {

// The C runtime takes 8-bit names in the ANSI code page, as every other name
// of the report; std::filesystem would convert them with the C locale and
// miss a folder such as "C:\Users\Łukasz\AppData\Local\Temp".
std::optional<std::string> ReadWholeFile(const std::string& path) {
    std::FILE* file = path.empty() ? nullptr : std::fopen(path.c_str(), "rb");
    if (!file) return std::nullopt;
    std::string bytes;
    char buffer[65536];
    while (const std::size_t read = std::fread(buffer, 1, sizeof buffer, file)) bytes.append(buffer, read);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) return std::nullopt;
    return bytes;
}

}  // namespace

bool AttachmentPresent(const std::string& path) { return ReadWholeFile(path).has_value(); }

std::vector<TMailAttachment> LoadMailAttachments(const TReportAttachmentPaths& paths) {
    std::vector<TMailAttachment> attachments;
    for (const std::string& path : paths) {
        if (auto bytes = ReadWholeFile(path)) attachments.push_back({PathFileName(path), std::move(*bytes)});
    }
    return attachments;
}

bool WriteReportTextFile(const std::string& path, const std::string& text) {
    std::string lines;
    lines.reserve(text.size() + 64);
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = text.find_first_of("\r\n", at);
        lines.append(text, at, end == std::string::npos ? std::string::npos : end - at);
        lines += "\r\n";
        if (end == std::string::npos) break;
        at = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    const bool written = std::fwrite(lines.data(), 1, lines.size(), file) == lines.size();
    return std::fclose(file) == 0 && written;
}

}  // namespace brenvik
