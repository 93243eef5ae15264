// Symbolising call-stack addresses against a real "CLDATA" block: the line
// programs walked per address, the address index built on the first lookup, and a
// whole call-stack entry through the index. Prints "<figure> <value>" lines.
//
//   symbolise_bench [BLOCK]   (default: the block written for build/win32's Brenvik.exe)
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <random>

#include "Measure.h"
#include "crash/debuginfo/ModuleDataBlock.h"
#include "crash/debuginfo/SourceIndex.h"
#include "crash/stack/CallStackEntry.h"
#include "crash/stack/ModuleSourceIndex.h"

using namespace brenvik;

namespace {

constexpr int kAddresses = 10000;
constexpr int kBatches = 7;

std::string FileBytes(const char* path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

}  // namespace

int main(int argc, char** argv) {
    const char* path = argc > 1 ? argv[1] : "build/win32/src/Brenvik.stage/cldata.bin";
    const std::string block = FileBytes(path);
    TCrashModuleOptions options("Brenvik.exe", false);
    TModuleData data;
    if (ReadResourceDataBlock(block, options, data) != TDataBlockStatus::Loaded) {
        std::fprintf(stderr, "no readable CLDATA block in %s\n", path);
        return 1;
    }

    const auto decodeStart = std::chrono::steady_clock::now();
    const TDebugInfo info = DecodeDebugInfo(data.DebugInfo, data.Version);
    const auto indexStart = std::chrono::steady_clock::now();
    auto index = std::make_shared<const TSourceIndex>(info);
    const std::chrono::duration<double, std::milli> decodeTime = indexStart - decodeStart,
                                                    indexTime = std::chrono::steady_clock::now() - indexStart;

    std::uint32_t codeEnd = 0;
    for (const TDebugUnit& unit : info.Units) codeEnd = std::max(codeEnd, unit.CodeOffset + unit.CodeSize);
    std::printf("# %s: %zu units, %zu procedures, %u bytes of code\n", path, info.Units.size(),
                info.Procedures.size(), codeEnd);
    std::printf("decode_ms %.2f\nindex_build_ms %.2f\n", decodeTime.count(), indexTime.count());

    // Addresses in code the block describes: the runtime library linked in
    // has no line information and would only measure the miss.
    std::mt19937 random(454);
    std::vector<std::uint32_t> offsets;
    while (offsets.size() < kAddresses)
        if (const auto offset = std::uniform_int_distribution<std::uint32_t>(0, codeEnd - 1)(random); index->Find(offset))
            offsets.push_back(offset);

    // A module record as the modules list makes it: its first lookup decodes and indexes.
    TCrashModuleInfo module;
    module.Handle = 0x400000;
    module.DebugInfo = std::make_unique<std::string>(data.DebugInfo);
    module.SourceIndex = std::make_shared<const TModuleSourceIndex>(*module.DebugInfo, data.Version);
    const auto firstStart = std::chrono::steady_clock::now();
    DescribeCodeAddress(&module, module.Handle + 4096 + offsets.front());
    const std::chrono::duration<double, std::milli> firstTime = std::chrono::steady_clock::now() - firstStart;
    std::printf("first_stack_entry_ms %.2f\n", firstTime.count());
    std::size_t next = 0, found = 0;
    auto restart = [&] { next = 0; };
    PrintMicrosecondsPerCall("line_programs_us_per_address", kBatches, kAddresses, restart, [&] {
        found += FindSourceLocation(info, offsets[next++]).has_value();
    });
    PrintMicrosecondsPerCall("index_us_per_address", kBatches, kAddresses, restart, [&] {
        found += index->Find(offsets[next++]).has_value();
    });
    PrintMicrosecondsPerCall("stack_entry_us_per_address", kBatches, kAddresses, restart, [&] {
        found += DescribeCodeAddress(&module, module.Handle + 4096 + offsets[next++]).Kind == dkSourceLine;
    });
    std::printf("# %zu of %d lookups found a source line\n", found, 3 * kBatches * kAddresses);
    return 0;
}
