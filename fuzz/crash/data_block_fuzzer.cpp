// The module data block in both forms on untrusted bytes: a block that does
// not load leaves the defaults and no debug information.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "crash/debuginfo/ModuleDataBlock.h"

using namespace brenvik;

namespace {

void Check(TDataBlockStatus status, const TCrashModuleOptions& options, const TModuleData& data) {
    if (status == TDataBlockStatus::Loaded) return;
    TCrashModuleOptions defaults("C:\\Fuzz\\Module.exe", false);
    TCrashStreamWriter expected, actual;
    defaults.SaveToStream(expected);
    options.SaveToStream(actual);
    if (expected.Bytes() != actual.Bytes() || !data.DebugInfo.empty() || data.Version != kCrashDataVersion) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    for (auto read : {ReadResourceDataBlock, ReadAppendedDataBlock}) {
        TCrashModuleOptions options("C:\\Fuzz\\Module.exe", false);
        TModuleData moduleData;
        Check(read(bytes, options, moduleData), options, moduleData);
    }
    return 0;
}
