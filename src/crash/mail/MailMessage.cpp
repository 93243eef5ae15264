#include "crash/mail/MailMessage.h"

#include "base/Text.h"
#include "crash/mail/Base64.h"

namespace brenvik {

std::string PathFileName(const std::string& path) {
    const std::size_t slash = path.find_last_of("\\/:");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string AttachmentContentType(const std::string& fileName) {
    const std::size_t dot = fileName.rfind('.');
    const bool png = dot != std::string::npos && SameTextAscii(std::string_view(fileName).substr(dot), ".PNG");
    return png ? "image/png" : "application/octet-stream";
}

std::string StuffLeadingDots(const std::string& text) {
    std::string out;
    out.reserve(text.size() + 16);
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (text[at] == '.' && (at == 0 || text[at - 1] == '\n')) out += '.';
        out += text[at];
    }
    return out;
}

namespace {

std::string AttachmentPart(const TMailAttachment& attachment) {
    const std::string boundary = kMailBoundary;
    return "\r\n--" + boundary + "\r\n" +
           "Content-Type: " + AttachmentContentType(attachment.FileName) + ";\r\n" +
           "        name=\"" + attachment.FileName + "\"\r\n" +
           "Content-Transfer-Encoding: base64\r\n" +
           "Content-Disposition: attachment;\r\n" +
           "        filename=\"" + attachment.FileName + "\"\r\n" +
           "\r\n" + EncodeBase64Lines(attachment.Content);
}

}  // namespace

std::string BuildSmtpMessage(const TMailEnvelope& envelope, const std::vector<TMailAttachment>& attachments) {
    const std::string boundary = kMailBoundary;
    std::string text = "Date: " + envelope.Date + "\r\n" +
                       "From: <" + envelope.Sender + ">\r\n" +
                       "Subject: " + envelope.Subject + "\r\n" +
                       "To: <" + envelope.Recipient + ">\r\n" +
                       "Content-Type: multipart/mixed; boundary=\"" + boundary + "\";\r\n" +
                       "MIME-Version: 1.0\r\n" +
                       "X-Priority: 1\r\n" +
                       "X-Library: Crashlog " + kMailLibraryVersion + "\r\n" +
                       "\r\n" +
                       "This is a multi-part message in MIME format\r\n\r\n--" + boundary + "\r\n" +
                       "Content-Type: text/plain\r\nContent-Transfer-Encoding: 7bit\r\n\r\n" +
                       envelope.Body + "\r\n";
    for (const TMailAttachment& attachment : attachments) text += AttachmentPart(attachment);
    text += "--" + boundary + "--\r\n";
    return StuffLeadingDots(text) + ".";
}

}  // namespace brenvik
