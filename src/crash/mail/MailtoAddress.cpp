#include "crash/mail/MailtoAddress.h"

#include "base/Text.h"
#include "crash/mail/MailRecipients.h"

namespace brenvik {

std::string PercentEncodeMailto(const std::string& text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    const std::string utf8 = Utf8FromCp1250(text);
    out.reserve(utf8.size() * 3);
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        const bool plain = (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
                           (byte >= '0' && byte <= '9') || byte == '-' || byte == '.' || byte == '_' ||
                           byte == '~' || byte == '@';
        if (plain) {
            out += c;
        } else {
            out += '%';
            out += kHex[byte >> 4];
            out += kHex[byte & 15];
        }
    }
    return out;
}

std::string BuildMailtoAddress(const std::string& recipients, const std::string& subject, const std::string& body,
                               const std::string& reportText, const std::string& reproduceSteps) {
    std::string to;
    for (const std::string& recipient : SplitMailRecipients(recipients)) {
        if (!to.empty()) to += ',';
        to += PercentEncodeMailto(recipient);
    }
    std::string fullBody = body + "\r\n\r\n\r\n" + reportText;
    if (!reproduceSteps.empty()) fullBody += "\r\n\r\n\r\n" + reproduceSteps;
    return "mailto:" + to + "?Subject=" + PercentEncodeMailto(subject) + "&Body=" + PercentEncodeMailto(fullBody);
}

std::string MailtoCommandLine(const std::string& command, const std::string& address) {
    std::string out;
    for (std::size_t at = 0; at < command.size(); ++at) {
        if (command.compare(at, 2, "%1") == 0) {
            out += address;
            ++at;
        } else {
            out += command[at];
        }
    }
    return out;
}

}  // namespace brenvik
