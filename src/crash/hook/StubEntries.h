#pragma once
#include <cstdint>

// The routines a pass-through stub calls around the hooked procedure. They
// keep every register that carries arguments (EAX, ECX, EDX on x86; RCX, RDX,
// R8, R9, XMM0-XMM3 on x86-64) and every register that carries the result, so
// the procedure and its caller see the call as if the stub were not there.
extern "C" void BrenvikHookRestoreEntry() asm("brenvik_hook_restore_entry");
extern "C" void BrenvikHookRepatchEntry() asm("brenvik_hook_repatch_entry");

// Their C++ halves: the restore half receives the record and the caller's
// return address; the re-patch half returns that return address again.
extern "C" void BrenvikHookRestore(unsigned char* record, std::uintptr_t returnAddress) asm("brenvik_hook_restore");
extern "C" std::uintptr_t BrenvikHookRepatch(unsigned char* record) asm("brenvik_hook_repatch");
