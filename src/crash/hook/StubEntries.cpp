#include "crash/hook/StubEntries.h"

// On entry to either routine the stack holds the stub's return address, then
// the record's address; the restore entry also finds the caller's return
// address above it and removes both, so the procedure is called with the
// caller's stack exactly as the caller built it.
#if defined(__x86_64__)
asm(R"(
    .text
    .globl brenvik_hook_restore_entry
    .p2align 4
brenvik_hook_restore_entry:
    subq $0x88, %rsp
    movq %rcx, 0x20(%rsp)
    movq %rdx, 0x28(%rsp)
    movq %r8, 0x30(%rsp)
    movq %r9, 0x38(%rsp)
    movups %xmm0, 0x40(%rsp)
    movups %xmm1, 0x50(%rsp)
    movups %xmm2, 0x60(%rsp)
    movups %xmm3, 0x70(%rsp)
    movq 0x90(%rsp), %rcx
    movq 0x98(%rsp), %rdx
    call brenvik_hook_restore
    movq 0x20(%rsp), %rcx
    movq 0x28(%rsp), %rdx
    movq 0x30(%rsp), %r8
    movq 0x38(%rsp), %r9
    movups 0x40(%rsp), %xmm0
    movups 0x50(%rsp), %xmm1
    movups 0x60(%rsp), %xmm2
    movups 0x70(%rsp), %xmm3
    addq $0x88, %rsp
    ret $16

    .globl brenvik_hook_repatch_entry
    .p2align 4
brenvik_hook_repatch_entry:
    subq $0x50, %rsp
    movq %rax, 0x20(%rsp)
    movq %rdx, 0x28(%rsp)
    movups %xmm0, 0x30(%rsp)
    movq 0x58(%rsp), %rcx
    call brenvik_hook_repatch
    movq %rax, 0x58(%rsp)
    movq 0x20(%rsp), %rax
    movq 0x28(%rsp), %rdx
    movups 0x30(%rsp), %xmm0
    addq $0x50, %rsp
    ret
)");
#elif defined(__i386__)
asm(R"(
    .text
    .globl brenvik_hook_restore_entry
    .p2align 4
brenvik_hook_restore_entry:
    pushl %eax
    pushl %ecx
    pushl %edx
    pushl 20(%esp)
    pushl 20(%esp)
    call brenvik_hook_restore
    addl $8, %esp
    popl %edx
    popl %ecx
    popl %eax
    ret $8

    .globl brenvik_hook_repatch_entry
    .p2align 4
brenvik_hook_repatch_entry:
    pushl %eax
    pushl %ecx
    pushl %edx
    pushl 16(%esp)
    call brenvik_hook_repatch
    addl $4, %esp
    movl %eax, 16(%esp)
    popl %edx
    popl %ecx
    popl %eax
    ret
)");
#else
#error "Procedure hooking needs x86 or x86-64 code."
#endif
