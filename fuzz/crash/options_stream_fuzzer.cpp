// LoadFromStream on untrusted bytes: the first two bytes pick the format
// version. Whatever loads must save and load back to the same stream.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "crash/options/TCrashModuleOptions.h"

using namespace brenvik;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const std::uint16_t version = static_cast<std::uint16_t>(data[0] | data[1] << 8);
    std::string_view bytes(reinterpret_cast<const char*>(data) + 2, size - 2);
    TCrashModuleOptions options("C:\\Fuzz\\Module.exe", false);
    TCrashStreamReader stream(bytes);
    try {
        options.LoadFromStream(stream, version);
    } catch (const ECrashStreamError&) {
        return 0;
    }
    TCrashStreamWriter saved;
    options.SaveToStream(saved);
    TCrashModuleOptions reloaded("C:\\Fuzz\\Module.exe", false);
    TCrashStreamReader again(saved.Bytes());
    reloaded.LoadFromStream(again);
    TCrashStreamWriter resaved;
    reloaded.SaveToStream(resaved);
    if (resaved.Bytes() != saved.Bytes() || again.Remaining() != 0) std::abort();
    return 0;
}
