#include "platform/Win32ContextRegisters.h"

namespace brenvik {

#if defined(__x86_64__)

TCrashRegisters RegistersFromContext(const CONTEXT& context) {
    return {context.Rax, context.Rdi, context.Rbx, context.Rsi, context.Rcx, context.Rsp, context.Rdx, context.Rip};
}

CrashAddress ContextInstruction(const CONTEXT& context) { return context.Rip; }
CrashAddress ContextStackPointer(const CONTEXT& context) { return context.Rsp; }

void SetContextAddresses(CONTEXT& context, CrashAddress instruction, CrashAddress stack, CrashAddress frame) {
    context.Rip = instruction;
    context.Rsp = stack;
    context.Rbp = frame;
}

#else

TCrashRegisters RegistersFromContext(const CONTEXT& context) {
    return {context.Eax, context.Edi, context.Ebx, context.Esi, context.Ecx, context.Esp, context.Edx, context.Eip};
}

CrashAddress ContextInstruction(const CONTEXT& context) { return context.Eip; }
CrashAddress ContextStackPointer(const CONTEXT& context) { return context.Esp; }

void SetContextAddresses(CONTEXT& context, CrashAddress instruction, CrashAddress stack, CrashAddress frame) {
    context.Eip = instruction;
    context.Esp = stack;
    context.Ebp = frame;
}

#endif

}  // namespace brenvik
