#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace brenvik {

// At least 5 bytes, beginning with "GIF8".
bool IsGifData(std::span<const std::uint8_t> data);

// Offsets of the frame starts: a 4-byte graphic-control extension (21 F9 04)
// whose image descriptor (2C) lies 8 bytes after its first byte. Only places
// followed by at least 9 more bytes are examined.
std::vector<std::size_t> FindGifFrameStarts(std::span<const std::uint8_t> data);

struct GifFrameSelection {
    std::vector<std::uint8_t> Bytes;  // what the decoder gets
    int ScreenWidth = 0, ScreenHeight = 0;  // the animation's logical screen; 0 = not GIF
    int FrameX = 0, FrameY = 0;
    int FrameWidth = 0, FrameHeight = 0;
};

// Keeps the bytes before the first frame and those from the chosen frame
// (1-based, held within the frames present) onwards, so that a decoder that
// shows the first image shows the chosen one. Data that is not GIF or has no
// frame start passes unchanged.
GifFrameSelection SelectGifFrame(std::span<const std::uint8_t> data, int frame);

}  // namespace brenvik
