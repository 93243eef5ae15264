#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace brenvik {

// CRC-32 with the standard polynomial, continuing from `crc` (0 to start).
std::uint32_t Crc32(std::string_view bytes, std::uint32_t crc = 0);

struct TPaletteColor {
    std::uint8_t Red = 0, Green = 0, Blue = 0;
};

// An 8-bit palette image as a device-independent bitmap holds it: rows
// bottom-up, each padded to a multiple of 4 bytes.
struct TPaletteImage {
    std::uint32_t Width = 0, Height = 0;
    std::array<TPaletteColor, 256> Palette{};
    std::string_view BottomUpRows;  // Height rows of Stride() bytes

    std::size_t Stride() const { return (Width + 3u) & ~std::size_t{3}; }
};

// Bytes of the file, in the order they are written.
using PngSink = std::function<void(std::string_view bytes)>;

// Size of the compression buffer; each time it fills it becomes one IDAT chunk.
inline constexpr std::size_t kPngIdatBuffer = 262143;

// Writes the PNG file: signature, IHDR (8-bit palette), PLTE, the rows top
// first with filter 0 in one zlib stream at level 9, IDAT chunks, IEND.
// Returns false when the image does not match its size or zlib fails.
bool WritePalettePng(const TPaletteImage& image, const PngSink& sink);

}  // namespace brenvik
