#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "crash/options/TCrashModuleOptions.h"

namespace brenvik {

// Code and stack addresses are as wide as the build's pointers: the shipped
// i686 program reports 32-bit values, the x86-64 test build 64-bit ones.
using CrashAddress = std::uintptr_t;

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
