#include "crash/debuginfo/ZlibCodec.h"

#include <zlib.h>

#include <cstdint>
#include <stdexcept>

namespace brenvik {

std::string ZlibCompress(std::string_view bytes) {
    uLongf size = compressBound(static_cast<uLong>(bytes.size()));
    std::string result(size, '\0');
    if (compress2(reinterpret_cast<Bytef*>(result.data()), &size, reinterpret_cast<const Bytef*>(bytes.data()),
                  static_cast<uLong>(bytes.size()), Z_BEST_COMPRESSION) != Z_OK)
        throw std::runtime_error("zlib compression failed");
    result.resize(size);
    return result;
}

std::optional<std::string> ZlibDecompress(std::string_view stream, std::size_t sizeLimit) {
    if (stream.size() > UINT32_MAX) return std::nullopt;
    z_stream z{};
    if (inflateInit(&z) != Z_OK) return std::nullopt;
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(stream.data()));
    z.avail_in = static_cast<uInt>(stream.size());
    std::string result;
    char chunk[16384];
    int status = Z_OK;
    while (status == Z_OK) {
        z.next_out = reinterpret_cast<Bytef*>(chunk);
        z.avail_out = sizeof chunk;
        status = inflate(&z, Z_NO_FLUSH);
        result.append(chunk, sizeof chunk - z.avail_out);
        if (result.size() > sizeLimit) status = Z_MEM_ERROR;
    }
    inflateEnd(&z);
    if (status != Z_STREAM_END) return std::nullopt;
    return result;
}

}  // namespace brenvik
