#include "crash/mail/MailRecipients.h"

namespace brenvik {

std::string TrimBlanks(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

std::vector<std::string> SplitMailRecipients(const std::string& recipients) {
    std::vector<std::string> pieces;
    std::size_t start = 0;
    while (start < recipients.size()) {
        const std::size_t end = recipients.find_first_of(",;", start);
        const std::string piece = TrimBlanks(recipients.substr(start, end == std::string::npos ? end : end - start));
        if (!piece.empty()) pieces.push_back(piece);
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return pieces;
}

}  // namespace brenvik
