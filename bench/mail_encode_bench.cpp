// Report mail encoders: EncodeBase64Lines and the PNG writer, in MB/s of
// input (median of 7 batches). Portable: runs natively and under Wine.
// Two 1920×1080 screens are written too, in ms per image: a desktop with
// text windows and a noisy worst case.
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "Measure.h"
#include "crash/mail/Base64.h"
#include "crash/mail/PngWriter.h"

using namespace brenvik;

namespace {

constexpr int kBatches = 7;

// A desktop: a background in a few flat colours and windows of text lines,
// glyph-like patterns in one ink colour.
std::string DesktopRows(std::uint32_t width, std::uint32_t height) {
    const std::size_t stride = (width + 3u) & ~3u;
    std::string rows(stride * height, '\0');
    for (std::uint32_t y = 0; y < height; ++y) {
        for (std::uint32_t x = 0; x < width; ++x) {
            char colour = static_cast<char>((x / 300 + y / 200) % 3);
            if (y % 16 < 10 && x % 400 < 300) {
                const std::uint32_t glyph = (x / 7 + (y / 16) * 13) % 37;
                if ((glyph * 131 + (x % 7) * 7 + y % 16) % 5 == 0) colour = 15;
            }
            rows[y * stride + x] = colour;
        }
    }
    return rows;
}

// The worst case for the compressor: flat colour with one random pixel in 16
// everywhere, like a photo or dithered wallpaper.
std::string NoisyRows(std::uint32_t width, std::uint32_t height) {
    const std::size_t stride = (width + 3u) & ~3u;
    std::string rows(stride * height, '\0');
    std::uint32_t seed = 1;
    for (std::uint32_t y = 0; y < height; ++y) {
        for (std::uint32_t x = 0; x < width; ++x) {
            seed = seed * 1664525u + 1013904223u;
            const char base = static_cast<char>((y / 40 + x / 300) % 16);
            rows[y * stride + x] = (seed >> 28) == 0 ? static_cast<char>(seed >> 16) : base;
        }
    }
    return rows;
}

double MegabytesPerSecond(std::size_t bytes, const std::function<void()>& step) {
    std::vector<double> rates;
    for (int batch = 0; batch < kBatches; ++batch) {
        const auto start = std::chrono::steady_clock::now();
        step();
        const std::chrono::duration<double> spent = std::chrono::steady_clock::now() - start;
        rates.push_back(bytes / 1e6 / spent.count());
    }
    return Median(rates);
}

}  // namespace

int main() {
    std::string report(8u << 20, '\0');
    std::uint32_t seed = 3;
    for (char& byte : report) {
        seed = seed * 1103515245u + 12345u;
        byte = static_cast<char>(seed >> 16);
    }
    std::size_t sink = 0;
    std::printf("base64_mb_per_s %.1f\n",
                MegabytesPerSecond(report.size(), [&] { sink += EncodeBase64Lines(report).size(); }));

    const std::uint32_t width = 1920, height = 1080;
    for (const auto& [name, rows] : {std::pair{"desktop", DesktopRows(width, height)},
                                     std::pair{"noisy", NoisyRows(width, height)}}) {
        const TPaletteImage image{width, height, {}, rows};
        std::size_t pngBytes = 0;
        const double rate = MegabytesPerSecond(std::size_t{width} * height, [&] {
            pngBytes = 0;
            WritePalettePng(image, [&](std::string_view bytes) { pngBytes += bytes.size(); });
        });
        std::printf("png_%s_mb_per_s %.1f\n", name, rate);
        std::printf("png_%s_1920x1080_ms %.0f\n", name, std::size_t{width} * height / 1e6 / rate * 1000);
        std::printf("png_%s_1920x1080_bytes %zu\n", name, pngBytes);
    }
    return sink == 0;
}
