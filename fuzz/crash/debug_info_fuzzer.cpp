// The debug-information reader on untrusted bytes: the first two bytes pick
// the format version. Whatever decodes is looked up, and a current-version
// stream encodes back to the same information.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "crash/debuginfo/DebugInfo.h"

using namespace brenvik;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const std::uint16_t version = static_cast<std::uint16_t>(data[0] | data[1] << 8);
    std::string_view bytes(reinterpret_cast<const char*>(data) + 2, size - 2);
    TDebugInfo info;
    try {
        info = DecodeDebugInfo(bytes, version);
    } catch (const ECrashStreamError&) {
        return 0;
    }
    for (const TDebugUnit& unit : info.Units) {
        FindSourceLocation(info, unit.CodeOffset);
        FindSourceLocation(info, unit.CodeOffset + unit.CodeSize / 2);
    }
    if (version == kCrashDataVersion && DecodeDebugInfo(EncodeDebugInfo(info)) != info) std::abort();
    return 0;
}
