#pragma once
#include <windows.h>

#include "crash/report/ReportCpu.h"

namespace brenvik {

// The report's registers from a thread context (the 64-bit registers on x86-64).
TCrashRegisters RegistersFromContext(const CONTEXT& context);

CrashAddress ContextInstruction(const CONTEXT& context);
CrashAddress ContextStackPointer(const CONTEXT& context);
// Sets the instruction, stack and frame pointers.
void SetContextAddresses(CONTEXT& context, CrashAddress instruction, CrashAddress stack, CrashAddress frame);

}  // namespace brenvik
