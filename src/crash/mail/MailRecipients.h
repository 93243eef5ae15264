#pragma once
#include <string>
#include <vector>

namespace brenvik {

// The text without leading and trailing blanks and line breaks.
std::string TrimBlanks(const std::string& text);

// The recipient list split at "," and ";", each piece trimmed; a trailing
// separator adds no empty piece.
std::vector<std::string> SplitMailRecipients(const std::string& recipients);

}  // namespace brenvik
