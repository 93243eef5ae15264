#include "crash/mail/Base64.h"

#include <algorithm>
#include <cstdint>

namespace brenvik {

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr std::size_t kBytesPerLine = 60;

void EncodeGroup(const unsigned char* in, std::size_t count, std::string& out) {
    const std::uint32_t group = (std::uint32_t{in[0]} << 16) | (count > 1 ? std::uint32_t{in[1]} << 8 : 0u) |
                                (count > 2 ? std::uint32_t{in[2]} : 0u);
    out += kAlphabet[(group >> 18) & 63];
    out += kAlphabet[(group >> 12) & 63];
    out += count > 1 ? kAlphabet[(group >> 6) & 63] : '=';
    out += count > 2 ? kAlphabet[group & 63] : '=';
}

}  // namespace

std::string EncodeBase64Lines(std::string_view bytes) {
    std::string out;
    const std::size_t lines = (bytes.size() + kBytesPerLine - 1) / kBytesPerLine;
    out.reserve((bytes.size() + 2) / 3 * 4 + lines * 2);
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    for (std::size_t line = 0; line < bytes.size(); line += kBytesPerLine) {
        const std::size_t end = std::min(bytes.size(), line + kBytesPerLine);
        for (std::size_t at = line; at < end; at += 3) EncodeGroup(data + at, std::min<std::size_t>(3, end - at), out);
        out += "\r\n";
    }
    return out;
}

}  // namespace brenvik
