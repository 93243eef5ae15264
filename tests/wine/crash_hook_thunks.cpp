// No system headers here: they declare GetTickCount as imported, and the
// linker then builds no thunk for it.
#include "crash_hook_thunks.h"

extern "C" __attribute__((stdcall)) unsigned long GetTickCount();

void* ToolchainGetTickCountThunk() { return reinterpret_cast<void*>(&GetTickCount); }

#if defined(__x86_64__)
asm(R"(
    .text
    .globl crash_hook_test_thunk
    .p2align 4
crash_hook_test_thunk:
    jmp *crash_hook_test_slot(%rip)
    nop
    nop
    .data
    .p2align 3
crash_hook_test_slot:
    .quad crash_hook_thunk_target
    .text
)");
#else
asm(R"(
    .text
    .globl crash_hook_test_thunk
    .p2align 4
crash_hook_test_thunk:
    jmp *crash_hook_test_slot
    nop
    nop
    .data
    .p2align 2
crash_hook_test_slot:
    .long crash_hook_thunk_target
    .text
)");
#endif
