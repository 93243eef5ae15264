#include "crash_hook_scale.h"

#if defined(__x86_64__)
asm(R"(
    .text
    .globl crash_hook_scale
    .p2align 4
crash_hook_scale:
    movl $7, %eax
    imull %edx, %ecx
    addl %ecx, %eax
    ret
)");
#else
asm(R"(
    .text
    .globl crash_hook_scale
    .p2align 4
crash_hook_scale:
    movl $7, %eax
    movl 4(%esp), %ecx
    imull 8(%esp), %ecx
    addl %ecx, %eax
    ret
)");
#endif
