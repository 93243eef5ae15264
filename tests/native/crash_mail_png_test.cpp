#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

#include "crash/mail/PngWriter.h"

namespace brenvik {
namespace {

struct Chunk {
    std::string Type, Data;
};

std::uint32_t BigEndian(const std::string& bytes, std::size_t at) {
    return std::uint32_t(static_cast<unsigned char>(bytes[at])) << 24 |
           std::uint32_t(static_cast<unsigned char>(bytes[at + 1])) << 16 |
           std::uint32_t(static_cast<unsigned char>(bytes[at + 2])) << 8 | static_cast<unsigned char>(bytes[at + 3]);
}

// Splits a PNG file into chunks, checking each CRC with zlib's own.
std::vector<Chunk> ReadChunks(const std::string& file) {
    std::vector<Chunk> chunks;
    EXPECT_EQ(file.substr(0, 8), std::string("\x89PNG\r\n\x1A\n", 8));
    for (std::size_t at = 8; at + 12 <= file.size();) {
        const std::uint32_t length = BigEndian(file, at);
        Chunk chunk{file.substr(at + 4, 4), file.substr(at + 8, length)};
        const std::string typed = chunk.Type + chunk.Data;
        EXPECT_EQ(BigEndian(file, at + 8 + length),
                  crc32(0, reinterpret_cast<const Bytef*>(typed.data()), static_cast<uInt>(typed.size())))
            << chunk.Type;
        chunks.push_back(std::move(chunk));
        at += 12 + length;
    }
    return chunks;
}

std::string Inflate(const std::string& data) {
    std::string out(1 << 24, '\0');
    uLongf size = out.size();
    EXPECT_EQ(uncompress(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(data.data()),
                         data.size()),
              Z_OK);
    out.resize(size);
    return out;
}

std::string Encode(const TPaletteImage& image) {
    std::string file;
    EXPECT_TRUE(WritePalettePng(image, [&](std::string_view bytes) { file.append(bytes); }));
    return file;
}

TEST(CrashMailPng, Crc32MatchesZlib) {
    const std::string text = "IEND";
    EXPECT_EQ(Crc32(text), 0xAE426082u);
    EXPECT_EQ(Crc32("56789", Crc32("1234")), Crc32("123456789"));
    EXPECT_EQ(Crc32("123456789"), 0xCBF43926u);
}

TEST(CrashMailPng, RowsTopFirstWithFilterZeroAndPadding) {
    // 3 × 2 image: stride 4, bottom row stored first.
    const std::string rows = std::string("\x04\x05\x06\xEE", 4) + std::string("\x01\x02\x03\xEE", 4);
    TPaletteImage image{3, 2, {}, rows};
    for (int i = 0; i < 256; ++i) image.Palette[static_cast<std::size_t>(i)] = {std::uint8_t(i), std::uint8_t(255 - i), 7};
    const std::vector<Chunk> chunks = ReadChunks(Encode(image));
    ASSERT_EQ(chunks.size(), 4u);
    EXPECT_EQ(chunks[0].Type, "IHDR");
    EXPECT_EQ(chunks[0].Data, std::string("\0\0\0\x03\0\0\0\x02\x08\x03\0\0\0", 13));
    EXPECT_EQ(chunks[1].Type, "PLTE");
    ASSERT_EQ(chunks[1].Data.size(), 768u);
    EXPECT_EQ(chunks[1].Data.substr(3 * 200, 3), std::string("\xC8\x37\x07", 3));
    EXPECT_EQ(chunks[2].Type, "IDAT");
    EXPECT_EQ(Inflate(chunks[2].Data), std::string("\0\x01\x02\x03\0\x04\x05\x06", 8));
    EXPECT_EQ(chunks[3].Type, "IEND");
    EXPECT_TRUE(chunks[3].Data.empty());
}

TEST(CrashMailPng, LargeImagesSpillIntoFullIdatChunks) {
    const std::uint32_t width = 1921, height = 700;  // stride 1924
    std::string rows(std::size_t{1924} * height, '\0');
    std::uint32_t seed = 7;
    for (char& byte : rows) {
        seed = seed * 1664525u + 1013904223u;
        byte = static_cast<char>(seed >> 24);
    }
    const std::vector<Chunk> chunks = ReadChunks(Encode({width, height, {}, rows}));
    std::string stream;
    std::size_t idats = 0;
    for (std::size_t i = 2; i + 1 < chunks.size(); ++i) {
        ASSERT_EQ(chunks[i].Type, "IDAT");
        if (i + 2 < chunks.size()) {
            EXPECT_EQ(chunks[i].Data.size(), kPngIdatBuffer);
        }
        stream += chunks[i].Data;
        ++idats;
    }
    EXPECT_GE(idats, 3u);
    const std::string pixels = Inflate(stream);
    ASSERT_EQ(pixels.size(), std::size_t{width + 1} * height);
    for (std::uint32_t y : {0u, 1u, 350u, height - 1}) {
        EXPECT_EQ(pixels[y * (width + 1)], '\0');
        EXPECT_EQ(pixels.substr(y * (width + 1) + 1, width), rows.substr((height - 1 - y) * 1924, width)) << y;
    }
}

TEST(CrashMailPng, ImagesThatDoNotMatchTheirSizeAreRefused) {
    const std::string rows(7, '\0');
    int writes = 0;
    const PngSink count = [&](std::string_view) { ++writes; };
    EXPECT_FALSE(WritePalettePng({3, 2, {}, rows}, count));
    EXPECT_FALSE(WritePalettePng({0, 2, {}, rows}, count));
    EXPECT_EQ(writes, 0);
}

}  // namespace
}  // namespace brenvik
