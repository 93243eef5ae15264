#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace brenvik {

// A zlib stream of the whole input at the best compression.
std::string ZlibCompress(std::string_view bytes);

// The bytes of one complete zlib stream at the start of the input; nothing
// when the stream is damaged, ends early, or inflates beyond the limit.
std::optional<std::string> ZlibDecompress(std::string_view stream, std::size_t sizeLimit);

}  // namespace brenvik
