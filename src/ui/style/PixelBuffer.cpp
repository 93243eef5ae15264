#include "ui/style/PixelBuffer.h"

#include "ui/style/StyleColors.h"

namespace brenvik {
namespace {

// Images are mostly runs of one colour: the rule runs once per run.
template <typename Rule>
void MapRuns(PixelBuffer& pixels, Rule rule) {
    bool first = true;
    TColor lastIn = 0, lastOut = 0;
    for (TColor& pixel : pixels.Pixels) {
        if (first || pixel != lastIn) {
            lastIn = pixel;
            lastOut = rule(pixel);
            first = false;
        }
        pixel = lastOut;
    }
}

}  // namespace

void DimPixels(PixelBuffer& pixels, int percent) {
    MapRuns(pixels, [percent](TColor pixel) { return Lighten(pixel, percent); });
}

void GreyPixels(PixelBuffer& pixels, int k) {
    MapRuns(pixels, [k](TColor pixel) { return Grey(pixel, k); });
}

PixelBuffer Silhouette(const PixelBuffer& pixels, TColor color) {
    PixelBuffer shape = pixels;
    TColor background = pixels.Background();
    for (TColor& pixel : shape.Pixels) pixel = pixel == background ? background : color;
    return shape;
}

}  // namespace brenvik
