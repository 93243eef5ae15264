#pragma once
#include <cstdint>
#include <string>

namespace brenvik {

// "a.b.c.d" from the two 32-bit halves of a fixed file version; empty for
// 0.0.0.0, which build tools write when nobody set a version.
std::string FileVersionText(std::uint32_t mostSignificant, std::uint32_t leastSignificant);

// The version-resource path of a string value in the first translation:
// "\StringFileInfo\" + language and code page as 4 uppercase hex digits each.
std::string VersionStringPath(std::uint16_t language, std::uint16_t codePage, const std::string& value);

}  // namespace brenvik
