#include "crash/win32/Win32ContextRegisters.h"

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

// The context inside this function, unwound by one frame through its unwind data.
__attribute__((noinline)) void CaptureCallerContext(CONTEXT& context) {
    RtlCaptureContext(&context);
    asm volatile("" ::: "memory");  // a call, never a tail jump: this frame must exist
    DWORD64 imageBase = 0;
    if (PRUNTIME_FUNCTION function = RtlLookupFunctionEntry(context.Rip, &imageBase, nullptr)) {
        void* handlerData = nullptr;
        DWORD64 establisherFrame = 0;
        RtlVirtualUnwind(UNW_FLAG_NHANDLER, imageBase, context.Rip, function, &context, &handlerData,
                         &establisherFrame, nullptr);
    }
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

// Called from a function with a frame, RtlCaptureContext gives that
// function's caller: here, exactly the caller of this function.
__attribute__((noinline, optimize("no-omit-frame-pointer"))) void CaptureCallerContext(CONTEXT& context) {
    RtlCaptureContext(&context);
    asm volatile("" ::: "memory");  // a call, never a tail jump: this frame must exist
}

#endif

}  // namespace brenvik
