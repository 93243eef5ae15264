#include "crash/mail/PngWriter.h"

#include <zlib.h>

#include <vector>

namespace brenvik {

namespace {

const std::array<std::uint32_t, 256>& CrcTable() {
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> built{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int bit = 0; bit < 8; ++bit) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            built[n] = c;
        }
        return built;
    }();
    return table;
}

void PutBigEndian(std::string& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((value >> shift) & 0xFF);
}

void WriteChunk(const PngSink& sink, const char* type, std::string_view data) {
    std::string head;
    PutBigEndian(head, static_cast<std::uint32_t>(data.size()));
    head.append(type, 4);
    sink(head);
    if (!data.empty()) sink(data);
    std::string tail;
    PutBigEndian(tail, Crc32(data, Crc32(std::string_view(type, 4))));
    sink(tail);
}

class IdatStream {
public:
    explicit IdatStream(const PngSink& sink) : sink_(sink), buffer_(kPngIdatBuffer) {
        ok_ = deflateInit(&zip_, 9) == Z_OK;
        Reset();
    }
    ~IdatStream() { deflateEnd(&zip_); }
    IdatStream(const IdatStream&) = delete;
    IdatStream& operator=(const IdatStream&) = delete;

    bool Add(std::string_view bytes, int flush) {
        if (!ok_) return false;
        zip_.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
        zip_.avail_in = static_cast<uInt>(bytes.size());
        for (;;) {
            const int result = deflate(&zip_, flush);
            if (result == Z_STREAM_ERROR) return ok_ = false;
            const bool done = flush == Z_FINISH ? result == Z_STREAM_END : zip_.avail_in == 0 && zip_.avail_out != 0;
            if (zip_.avail_out == 0) Emit(buffer_.size());
            if (done) break;
        }
        const std::size_t rest = buffer_.size() - zip_.avail_out;
        if (flush == Z_FINISH && rest > 0) Emit(rest);
        return true;
    }

private:
    void Reset() {
        zip_.next_out = buffer_.data();
        zip_.avail_out = static_cast<uInt>(buffer_.size());
    }
    void Emit(std::size_t used) {
        WriteChunk(sink_, "IDAT", std::string_view(reinterpret_cast<const char*>(buffer_.data()), used));
        Reset();
    }

    const PngSink& sink_;
    std::vector<Bytef> buffer_;
    z_stream zip_{};
    bool ok_ = false;
};

}  // namespace

std::uint32_t Crc32(std::string_view bytes, std::uint32_t crc) {
    const auto& table = CrcTable();
    crc ^= 0xFFFFFFFFu;
    for (const char byte : bytes) crc = table[(crc ^ static_cast<unsigned char>(byte)) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

bool WritePalettePng(const TPaletteImage& image, const PngSink& sink) {
    const std::size_t stride = image.Stride();
    if (image.Width == 0 || image.Height == 0 || image.BottomUpRows.size() < stride * image.Height) return false;
    sink(std::string_view("\x89PNG\r\n\x1A\n", 8));

    std::string header;
    PutBigEndian(header, image.Width);
    PutBigEndian(header, image.Height);
    header.append("\x08\x03\x00\x00\x00", 5);
    WriteChunk(sink, "IHDR", header);

    std::string palette;
    palette.reserve(3 * image.Palette.size());
    for (const TPaletteColor& color : image.Palette) {
        palette += static_cast<char>(color.Red);
        palette += static_cast<char>(color.Green);
        palette += static_cast<char>(color.Blue);
    }
    WriteChunk(sink, "PLTE", palette);

    IdatStream idat(sink);
    std::string row(image.Width + 1, '\0');
    for (std::uint32_t y = 0; y < image.Height; ++y) {
        const std::size_t source = (image.Height - 1 - y) * stride;
        row.replace(1, image.Width, image.BottomUpRows.substr(source, image.Width));
        if (!idat.Add(row, Z_NO_FLUSH)) return false;
    }
    if (!idat.Add({}, Z_FINISH)) return false;
    WriteChunk(sink, "IEND", {});
    return true;
}

}  // namespace brenvik
