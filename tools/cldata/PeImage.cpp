#include "PeImage.h"

#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace cldata {
namespace {

std::uint64_t LittleEndian(const std::string& bytes, std::size_t offset, int size) {
    if (offset + static_cast<std::size_t>(size) > bytes.size()) throw std::runtime_error("PE image ends early");
    std::uint64_t value = 0;
    for (int i = size - 1; i >= 0; --i) value = value << 8 | static_cast<std::uint8_t>(bytes[offset + static_cast<std::size_t>(i)]);
    return value;
}

// Long section names ("/4") point into the COFF string table.
std::string SectionName(const std::string& file, const char raw[8], std::uint64_t stringTable) {
    std::string name(raw, strnlen(raw, 8));
    if (name.empty() || name[0] != '/' || stringTable == 0) return name;
    const std::size_t at = stringTable + std::stoul(name.substr(1));
    if (at >= file.size()) throw std::runtime_error("PE section name outside the file");
    return std::string(file.c_str() + at, strnlen(file.c_str() + at, file.size() - at));
}

}  // namespace

const PeSection* PeImage::Find(const std::string& name) const {
    for (const PeSection& section : Sections)
        if (section.Name == name) return &section;
    return nullptr;
}

PeImage ReadPeImage(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot open " + path);
    const std::string file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (file.compare(0, 2, "MZ") != 0) throw std::runtime_error(path + " is not an executable");
    const std::size_t pe = LittleEndian(file, 0x3C, 4);
    if (file.compare(pe, 4, std::string("PE\0\0", 4)) != 0) throw std::runtime_error(path + " is not a PE image");
    const std::size_t coff = pe + 4;
    const auto sectionCount = LittleEndian(file, coff + 2, 2);
    const auto symbolTable = LittleEndian(file, coff + 8, 4);
    const auto symbolCount = LittleEndian(file, coff + 12, 4);
    const auto optionalSize = LittleEndian(file, coff + 16, 2);
    const std::size_t optional = coff + 20;
    PeImage image;
    const auto magic = LittleEndian(file, optional, 2);
    image.Is64Bit = magic == 0x20B;
    image.ImageBase = image.Is64Bit ? LittleEndian(file, optional + 24, 8) : LittleEndian(file, optional + 28, 4);
    const std::uint64_t stringTable = symbolTable ? symbolTable + symbolCount * 18 : 0;
    for (std::size_t i = 0, header = optional + optionalSize; i < sectionCount; ++i, header += 40) {
        if (header + 40 > file.size()) throw std::runtime_error("PE section table ends early");
        PeSection section;
        section.Name = SectionName(file, file.c_str() + header, stringTable);
        section.VirtualSize = static_cast<std::uint32_t>(LittleEndian(file, header + 8, 4));
        section.VirtualAddress = static_cast<std::uint32_t>(LittleEndian(file, header + 12, 4));
        const auto rawSize = LittleEndian(file, header + 16, 4), rawOffset = LittleEndian(file, header + 20, 4);
        if (rawOffset + rawSize > file.size()) throw std::runtime_error("PE section outside the file");
        section.Data = file.substr(rawOffset, rawSize);
        image.Sections.push_back(std::move(section));
    }
    return image;
}

}  // namespace cldata
