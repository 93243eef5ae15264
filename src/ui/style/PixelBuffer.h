#pragma once
#include <cstddef>
#include <vector>

#include "ui/canvas/Colors.h"

namespace brenvik {

// A small picture as resolved 0x00BBGGRR values, rows top-down: the style's
// bitmap operations work on it, so they need no device.
struct PixelBuffer {
    PixelBuffer() = default;
    PixelBuffer(int width, int height, TColor fill = clBlack)
        : Width(width), Height(height), Pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), fill) {}

    int Width = 0;
    int Height = 0;
    std::vector<TColor> Pixels;

    TColor& At(int x, int y) { return Pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(Width) + static_cast<std::size_t>(x)]; }
    TColor At(int x, int y) const {
        return Pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(Width) + static_cast<std::size_t>(x)];
    }
    // The colour the style treats as transparent.
    TColor Background() const { return Height > 0 && Width > 0 ? At(0, Height - 1) : clNone; }
};

// Every pixel lightened by percent (at most 100).
void DimPixels(PixelBuffer& pixels, int percent);
// Every pixel turned to the grey of the style's grey rule.
void GreyPixels(PixelBuffer& pixels, int k);
// Same size; every pixel that differs from the background takes color, the
// rest keep the background, so that drawn transparently only the shape shows.
PixelBuffer Silhouette(const PixelBuffer& pixels, TColor color);

}  // namespace brenvik
