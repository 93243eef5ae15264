#include "crash/stack/ModuleVersion.h"

#include <cstdio>

namespace brenvik {

std::string FileVersionText(std::uint32_t mostSignificant, std::uint32_t leastSignificant) {
    if (mostSignificant == 0 && leastSignificant == 0) return {};
    char text[24];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", unsigned(mostSignificant >> 16), unsigned(mostSignificant & 0xFFFF),
                  unsigned(leastSignificant >> 16), unsigned(leastSignificant & 0xFFFF));
    return text;
}

std::string VersionStringPath(std::uint16_t language, std::uint16_t codePage, const std::string& value) {
    char key[10];
    std::snprintf(key, sizeof key, "%04X%04X", unsigned(language), unsigned(codePage));
    return "\\StringFileInfo\\" + std::string(key) + "\\" + value;
}

}  // namespace brenvik
