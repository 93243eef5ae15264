#pragma once
// value * factor + 7, in machine code whose first instruction is exactly as
// long as the jump a hook writes over it.
extern "C" int CrashHookScale(int value, int factor) asm("crash_hook_scale");
