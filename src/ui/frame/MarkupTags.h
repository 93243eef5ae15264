#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace brenvik {

std::string UpperAscii(std::string_view text);
std::string LowerAscii(std::string_view text);

// Position of needle in haystack, ignoring the case of A to Z; npos if absent.
size_t FindNoCase(std::string_view haystack, std::string_view needle, size_t from = 0);

// Reading attributes of a tag (the text between "<" and ">"). Names are
// found anywhere in the tag, without regard to case, first occurrence; a
// value is the text between the first pair of double quotes after the name.
std::optional<std::string> QuotedValueAfter(std::string_view tag, size_t from);
std::optional<std::string> AttributeValue(std::string_view tag, std::string_view name);

// The number that starts text: its leading decimal digits; none when there
// are no digits or the number is too large to be a size.
std::optional<int> LeadingNumber(std::string_view text);

// A FONT size: the digits after the quote, or after the equals sign when
// unquoted; 1 to 5 are the steps 8, 10, 12, 14, 16 points.
std::optional<int> FontSizeAttribute(std::string_view tag);

}  // namespace brenvik
