#pragma once
#include <string>
#include <string_view>

namespace brenvik {

// Writes the bytes beside the file and then puts them in its place in one
// step, so a failure at any point leaves the old file byte for byte. The
// name is the 8-bit (ANSI on Windows) name. False when it could not.
bool ReplaceFileContents(const std::string& fileName, std::string_view bytes);

}  // namespace brenvik
