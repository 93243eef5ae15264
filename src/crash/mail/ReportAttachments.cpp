#include "crash/mail/ReportAttachments.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

namespace brenvik {

bool AttachmentPresent(const std::string& path) {
    std::error_code error;
    return !path.empty() && std::filesystem::is_regular_file(std::filesystem::path(path), error);
}

std::vector<TMailAttachment> LoadMailAttachments(const TReportAttachmentPaths& paths) {
    std::vector<TMailAttachment> attachments;
    for (const std::string& path : paths) {
        if (!AttachmentPresent(path)) continue;
        std::ifstream file(std::filesystem::path(path), std::ios::binary);
        attachments.push_back({PathFileName(path), std::string(std::istreambuf_iterator<char>(file), {})});
    }
    return attachments;
}

bool WriteReportTextFile(const std::string& path, const std::string& text) {
    std::ofstream file(std::filesystem::path(path), std::ios::binary | std::ios::trunc);
    std::string lines;
    lines.reserve(text.size() + 64);
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = text.find_first_of("\r\n", at);
        lines.append(text, at, end == std::string::npos ? std::string::npos : end - at);
        lines += "\r\n";
        if (end == std::string::npos) break;
        at = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
    file << lines;
    return static_cast<bool>(file.flush());
}

}  // namespace brenvik
