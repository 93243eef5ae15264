#pragma once
#include <array>
#include <string>
#include <vector>

#include "crash/mail/MailMessage.h"

namespace brenvik {

// Slot 0: the report as a text file; slot 1: the screenshot. Empty = unused.
using TReportAttachmentPaths = std::array<std::string, 2>;

// Whether a slot holds a path to an existing file.
bool AttachmentPresent(const std::string& path);

// The present attachments in slot order, with their contents.
std::vector<TMailAttachment> LoadMailAttachments(const TReportAttachmentPaths& paths);

// Writes the text one line per text line, each ending with "\r\n".
bool WriteReportTextFile(const std::string& path, const std::string& text);

}  // namespace brenvik
