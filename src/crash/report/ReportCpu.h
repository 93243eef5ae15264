#pragma once
#include <optional>
#include <string>

#include "crash/options/TCrashModuleOptions.h"
#include "crash/report/ReportFormat.h"
#include "crash/stack/ProcessMemory.h"

namespace brenvik {

// The registers the CPU block shows, from the exception's context. The
// x86-64 build stores the full 64-bit registers (RAX for EAX ...), so its
// report shows 16 digits per register where the i686 program shows 8.
struct TCrashRegisters {
    CrashAddress Eax = 0, Edi = 0, Ebx = 0, Esi = 0, Ecx = 0, Esp = 0, Edx = 0, Eip = 0;
};

// Sixteen lines of stack words beside the code bytes at the instruction
// pointer; empty unless all of that memory is readable. Stack words are as
// wide as an address (4 bytes on i686, 8 on x86-64).
std::string MemoryDumpText(const TCrashRegisters& registers, const ProcessMemory& memory,
                           int addressDigits = kAddressDigits);

// Registers ("????" each without a context) and the memory dump.
std::string CpuText(const std::optional<TCrashRegisters>& registers, const ProcessMemory& memory,
                    const TCrashModuleOptions& options, int addressDigits = kAddressDigits);

}  // namespace brenvik
