// Any bytes as a DNS reply: the MX parser must end, never read outside the
// reply, and name at most one host of a sane length.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "crash/mail/DnsMx.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string host = brenvik::ParseMxReply(std::string_view(reinterpret_cast<const char*>(data), size));
    if (host.size() > 255 + 63) std::abort();
    return 0;
}
