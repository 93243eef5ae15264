#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace cldata {

struct PeSection {
    std::string Name;
    std::uint32_t VirtualAddress = 0;  // relative to the image base
    std::uint32_t VirtualSize = 0;
    std::string Data;                  // the bytes stored in the file
};

// The headers and sections of a linked Windows executable (i686 or x86-64).
struct PeImage {
    bool Is64Bit = false;
    std::uint64_t ImageBase = 0;
    std::vector<PeSection> Sections;

    const PeSection* Find(const std::string& name) const;
};

// Raises std::runtime_error for a file that is not a PE image.
PeImage ReadPeImage(const std::string& path);

}  // namespace cldata
