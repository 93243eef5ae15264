#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "crash/options/TCrashModuleOptions.h"

namespace brenvik {

class TModuleSourceIndex;

// Code and stack addresses are as wide as the build's pointers: the shipped
// i686 program reports 32-bit values, the x86-64 test build 64-bit ones.
using CrashAddress = std::uintptr_t;

// The instruction set whose code and stack are read: pointer and stack-word
// size, and how an indirect call or jump names its memory slot, differ.
enum class TCodeArchitecture : std::uint8_t { X86, X64 };
inline constexpr TCodeArchitecture kBuildArchitecture =
    sizeof(void*) == 8 ? TCodeArchitecture::X64 : TCodeArchitecture::X86;

inline constexpr std::size_t PointerSize(TCodeArchitecture architecture) {
    return architecture == TCodeArchitecture::X64 ? 8 : 4;
}

// One exported procedure of a module.
struct TCrashFunctionInfo {
    std::string Name;
    CrashAddress Address = 0;
    std::uint32_t Size = 0;  // estimated length of its code
};

using TCrashFunctionsList = std::vector<TCrashFunctionInfo>;  // sorted by address

enum TCrashModuleKind : std::uint8_t {
    mkNotExamined = 0,
    mkProgram = 1,
    mkPackage = 2,
    mkLibrary = 3,
};

// One module loaded in the process.
struct TCrashModuleInfo {
    CrashAddress Handle = 0;
    std::string FileName;
    std::string Description;
    std::string Version;  // "a.b.c.d", empty when absent or 0.0.0.0
    std::uint32_t Size = 0;
    TCrashFunctionsList Functions;
    std::uint8_t Kind = mkNotExamined;
    std::uint16_t DataVersion = kCrashDataVersion;
    double BuildTime = 0;
    std::unique_ptr<TCrashModuleOptionsEx> Options;
    std::unique_ptr<std::string> DebugInfo;  // the encoded stream; none without a data block
    // Looks addresses up in DebugInfo (decoded on first use); none without
    // debug information. Declared after DebugInfo, which it reads.
    std::shared_ptr<const TModuleSourceIndex> SourceIndex;
};

using TCrashModulesList = std::vector<std::unique_ptr<TCrashModuleInfo>>;

enum TCrashDebugInfoKind : std::uint8_t {
    dkOutside = 0,     // address outside every module
    dkModule = 1,      // module known only
    dkProcedure = 2,   // procedure name from a plain export name
    dkQualified = 3,   // unit, class and procedure from a dotted or decorated export name
    dkSourceLine = 4,  // unit, class, procedure and line from the debug information
};

// One call-stack entry.
struct TCrashDebugInfo {
    std::uint8_t Kind = dkOutside;
    const TCrashModuleInfo* Module = nullptr;
    CrashAddress Address = 0;
    std::string UnitName;
    std::string ClassName;
    std::string ProcedureName;
    std::int32_t Line = 0;
};

using TCrashStackList = std::vector<TCrashDebugInfo>;  // innermost first

}  // namespace brenvik
