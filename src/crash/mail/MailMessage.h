#pragma once
#include <string>
#include <vector>

namespace brenvik {

inline constexpr const char* kMailBoundary = "=_xcjvnxkbhvfkxzhfdbvzldjhfv";
inline constexpr const char* kMailLibraryVersion = "4.5.4";

// One file carried by the report mail.
struct TMailAttachment {
    std::string FileName;  // the path's last component
    std::string Content;
};

struct TMailEnvelope {
    std::string Date;  // see FormatMailDate
    std::string Sender;
    std::string Subject;
    std::string Recipient;
    std::string Body;
};

// "image/png" for a ".png" file name (any case), else "application/octet-stream".
std::string AttachmentContentType(const std::string& fileName);

// The last component of a Windows or POSIX path.
std::string PathFileName(const std::string& path);

// The MIME message of one SMTP delivery, ending with the line "." that the
// client's final "\r\n" terminates. Lines that begin with "." are sent with
// the dot doubled, so a report line "." cannot end the message early.
std::string BuildSmtpMessage(const TMailEnvelope& envelope, const std::vector<TMailAttachment>& attachments);

// Doubles the "." that starts any line of the text.
std::string StuffLeadingDots(const std::string& text);

}  // namespace brenvik
