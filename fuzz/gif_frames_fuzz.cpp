// The GIF frame scanner on arbitrary bytes: the first byte picks the frame.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "ui/frame/MarkupGifFrames.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    int frame = static_cast<std::int8_t>(data[0]);
    std::span<const std::uint8_t> bytes(data + 1, size - 1);
    auto starts = brenvik::FindGifFrameStarts(bytes);
    auto selection = brenvik::SelectGifFrame(bytes, frame);
    // Only whole frames are ever left out, so the result never grows.
    if (selection.Bytes.size() > bytes.size()) std::abort();
    if (!brenvik::IsGifData(bytes) && selection.Bytes.size() != bytes.size()) std::abort();
    for (std::size_t i = 1; i < starts.size(); ++i)
        if (starts[i] <= starts[i - 1]) std::abort();
    return 0;
}
