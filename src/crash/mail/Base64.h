#pragma once
#include <string>
#include <string_view>

namespace brenvik {

// Standard base64, 60 input bytes (80 characters) per line, every line ending
// with "\r\n"; empty input gives an empty text.
std::string EncodeBase64Lines(std::string_view bytes);

}  // namespace brenvik
