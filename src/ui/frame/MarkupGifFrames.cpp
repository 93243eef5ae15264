#include "ui/frame/MarkupGifFrames.h"

#include <algorithm>

namespace brenvik {
namespace {

int Word(std::span<const std::uint8_t> data, std::size_t at) {
    return at + 1 < data.size() ? data[at] | data[at + 1] << 8 : 0;
}

}  // namespace

bool IsGifData(std::span<const std::uint8_t> data) {
    return data.size() >= 5 && data[0] == 'G' && data[1] == 'I' && data[2] == 'F' && data[3] == '8';
}

std::vector<std::size_t> FindGifFrameStarts(std::span<const std::uint8_t> data) {
    std::vector<std::size_t> starts;
    for (std::size_t at = 0; at + 9 < data.size(); ++at)
        if (data[at] == 0x21 && data[at + 1] == 0xF9 && data[at + 2] == 0x04 && data[at + 8] == 0x2C)
            starts.push_back(at);
    return starts;
}

GifFrameSelection SelectGifFrame(std::span<const std::uint8_t> data, int frame) {
    GifFrameSelection selection;
    auto starts = IsGifData(data) ? FindGifFrameStarts(data) : std::vector<std::size_t>{};
    if (starts.empty()) {
        selection.Bytes.assign(data.begin(), data.end());
        return selection;
    }
    selection.ScreenWidth = Word(data, 6);
    selection.ScreenHeight = Word(data, 8);
    std::size_t chosen = starts[static_cast<std::size_t>(std::clamp(frame, 1, static_cast<int>(starts.size())) - 1)];
    std::size_t descriptor = chosen + 8;
    selection.FrameX = Word(data, descriptor + 1);
    selection.FrameY = Word(data, descriptor + 3);
    selection.FrameWidth = Word(data, descriptor + 5);
    selection.FrameHeight = Word(data, descriptor + 7);
    selection.Bytes.assign(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(starts.front()));
    selection.Bytes.insert(selection.Bytes.end(), data.begin() + static_cast<std::ptrdiff_t>(chosen), data.end());
    return selection;
}

}  // namespace brenvik
