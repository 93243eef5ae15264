#pragma once
#include <initializer_list>
#include <string>
#include <string_view>

namespace brenvik {

// Case-insensitive equality of Windows-1250 texts: ASCII letters and the
// accented letters of the code page fold to lower case.
bool SameTextCp1250(std::string_view a, std::string_view b);

// Equality that ignores the case of the letters A to Z only.
bool SameTextAscii(std::string_view a, std::string_view b);

// UTF-8 of a Windows-1250 text (the five unassigned bytes stay the C1
// controls of the same value, as Windows converts them).
std::string Utf8FromCp1250(std::string_view text);

// Replaces the "%d" placeholders of a format text with the numbers, in order.
std::string FormatInts(std::string_view format, std::initializer_list<long long> values);

}  // namespace brenvik

namespace brenvik {

// Decimal integer in the 32-bit range, optional leading blanks and sign,
// nothing after the digits; a "$" prefix reads hexadecimal.
bool TryParseInt32(std::string_view text, int& value);

}  // namespace brenvik
