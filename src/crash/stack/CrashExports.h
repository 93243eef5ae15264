#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "crash/stack/CrashStackTypes.h"

namespace brenvik {

// What an export's name tells about the code behind it.
struct TExportName {
    std::uint8_t Kind = dkModule;  // dkProcedure, dkQualified, or dkModule when the name says nothing usable
    std::string UnitName;
    std::string ClassName;
    std::string ProcedureName;
};

// Plain names ("Proc"), dotted ones ("Unit.Proc", "Unit.TClass.Method",
// anything from a first "@" on dropped) and decorated ones
// ("@Unit@TClass@Method$qqrv"). Compiler-mangled "?" names and "@$" helper
// names give nothing.
TExportName InterpretExportName(const std::string& name);

// Length of a procedure's code guessed from its bytes: with a frame
// (push EBP first) up to the return after pop EBP or leave, otherwise up to
// the first return byte. code holds the bytes from the procedure's start to
// the end of the module's code; a scan that runs off them gives 1.
std::uint32_t EstimateProcedureSize(const std::uint8_t* code, std::size_t available);

// The export whose range [Address, Address + Size] holds the address, by
// binary search of the address-sorted list; none when no range does.
const TCrashFunctionInfo* FindExport(const TCrashFunctionsList& exports, CrashAddress address);

}  // namespace brenvik
