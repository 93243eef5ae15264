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

// The caller's registers as they are on return from this call: the
// instruction pointer is the return address, so one byte back lies in the
// call. RtlCaptureContext alone describes its own caller on x86-64 but its
// caller's caller on x86 (it reads the frame chain there), which would drop
// the innermost frame from a 32-bit stack.
void CaptureCallerContext(CONTEXT& context);

}  // namespace brenvik
