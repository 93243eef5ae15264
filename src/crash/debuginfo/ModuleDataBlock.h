#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "crash/options/TCrashModuleOptions.h"

namespace brenvik {

inline constexpr std::uint32_t kCrashDataMagic = 0x000FAB10;

// What a module's data block gives besides its options.
struct TModuleData {
    std::uint16_t Version = kCrashDataVersion;
    double BuildTime = 0;  // days since 30 December 1899; 0 without a block
    std::string DebugInfo;
};

enum class TDataBlockStatus {
    Absent,   // no block in this form
    Loaded,   // options and debug information read
    Corrupt,  // a block that cannot be read: defaults and no debug information
};

// The block in its resource form: magic, version, time stamp, then the payload
// (zlib-compressed from version 450 on). Every length in it is checked.
TDataBlockStatus ReadResourceDataBlock(std::string_view resource, TCrashModuleOptions& options, TModuleData& data);

// The older form appended to the module file, read from the file's bytes.
TDataBlockStatus ReadAppendedDataBlock(std::string_view file, TCrashModuleOptions& options, TModuleData& data);

// Options a module published at run time (a first byte of 1, then the
// options stream) replace its stored ones; false leaves them as they were.
bool LoadPublishedOptions(std::string_view block, TCrashModuleOptions& options);

// The resource form of the current version, compressed.
std::string ComposeResourceDataBlock(double buildTime, std::string_view optionsStream, std::string_view debugInfo);

// The appended form (always uncompressed) for the given version.
std::string ComposeAppendedDataBlock(std::uint16_t version, double buildTime, std::string_view optionsStream,
                                     std::string_view debugInfo);

}  // namespace brenvik
