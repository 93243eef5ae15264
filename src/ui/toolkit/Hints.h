#pragma once
#include <string>

namespace brenvik {

// A hint is a short part, a bar and a long part; a hint without a bar counts
// as both parts.
std::string ShortHint(const std::string& hint);  // text before the first "|"
std::string LongHint(const std::string& hint);   // text after the first "|"

}  // namespace brenvik
