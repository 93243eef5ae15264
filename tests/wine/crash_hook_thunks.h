#pragma once
// Jump thunks for the hooking tests, built the way the linker builds them.

// An import-style thunk in this executable's code: FF 25 through a slot in
// its data, then GNU ld's 90 90 filler. The slot holds CrashHookThunkTarget.
extern "C" void CrashHookTestThunk() asm("crash_hook_test_thunk");
extern "C" int CrashHookThunkTarget(int value) asm("crash_hook_thunk_target");

// The linker's own thunk for GetTickCount, made by referring to the
// procedure without the import declaration of the system headers.
void* ToolchainGetTickCountThunk();
