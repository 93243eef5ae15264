// Procedure hooking on live code: code patches called through their
// pass-through stubs, import thunks, import-slot redirection, undoing it all,
// and calls through one stub from two threads at once.
#include <gtest/gtest.h>
#include <windows.h>

#include <array>
#include <atomic>
#include <cstring>
#include <functional>
#include <thread>
#include <vector>

#include "crash/hook/Hooks.h"
#include "crash/hook/JumpThunk.h"
#include "crash_hook_scale.h"
#include "crash_hook_thunks.h"
#include "crash/win32/Win32ProcessMemory.h"

// The executable's own import slot of GetTickCount (the linker's name for it).
#if defined(__x86_64__)
extern "C" void* getTickCountSlot asm("__imp_GetTickCount");
#else
extern "C" void* getTickCountSlot asm("__imp__GetTickCount@0");
#endif

extern "C" __attribute__((noipa)) int CrashHookThunkTarget(int value) { return value * 7; }

namespace brenvik {
namespace {

using FirstBytes = std::array<unsigned char, 5>;

FirstBytes FirstBytesOf(const void* code) {
    FirstBytes bytes;
    std::memcpy(bytes.data(), code, bytes.size());
    return bytes;
}

template <class Function>
void* CodeOf(Function function) {
    return reinterpret_cast<void*>(function);
}

class CrashHookWineTest : public ::testing::Test {
protected:
    void TearDown() override { UnhookAll(); }
};

// --- Arguments in registers and on the stack, floating point included -----

struct BlendArguments {
    int a;
    double x;
    int c;
    long long d;
    int e;
    int f;
    double y;
    int g;
    bool operator==(const BlendArguments&) const = default;
};

BlendArguments seenByOriginal;
BlendArguments seenByReplacement;

__attribute__((noipa)) double Blend(int a, double x, int c, long long d, int e, int f, double y, int g) {
    seenByOriginal = {a, x, c, d, e, f, y, g};
    return a + x * c + static_cast<double>(d) - e * f + y * g;
}

using BlendFunction = double (*)(int, double, int, long long, int, int, double, int);
BlendFunction blendStub;

double BlendReplacement(int a, double x, int c, long long d, int e, int f, double y, int g) {
    seenByReplacement = {a, x, c, d, e, f, y, g};
    return blendStub(a, x, c, d, e, f, y, g) * 2;
}

TEST_F(CrashHookWineTest, ReplacementCallsTheProcedureThroughItsStubWithArgumentsAndResultIntact) {
    const BlendArguments sent{3, 2.5, 4, 0x123456789LL, 5, 6, -0.125, 8};
    const double plain = Blend(sent.a, sent.x, sent.c, sent.d, sent.e, sent.f, sent.y, sent.g);
    const FirstBytes before = FirstBytesOf(CodeOf(&Blend));

    blendStub = HookProcedure<BlendFunction>(&Blend, &BlendReplacement, "Blend");
    seenByOriginal = {};
    const double hooked = Blend(sent.a, sent.x, sent.c, sent.d, sent.e, sent.f, sent.y, sent.g);
    EXPECT_EQ(plain * 2, hooked);
    EXPECT_EQ(sent, seenByReplacement);
    EXPECT_EQ(sent, seenByOriginal);
    EXPECT_EQ(0xE9, FirstBytesOf(CodeOf(&Blend))[0]) << "the patch must be back after the call";

    UnhookProcedure(CodeOf(blendStub));
    EXPECT_EQ(before, FirstBytesOf(CodeOf(&Blend)));
    seenByReplacement = {};
    EXPECT_EQ(plain, Blend(sent.a, sent.x, sent.c, sent.d, sent.e, sent.f, sent.y, sent.g));
    EXPECT_EQ(BlendArguments{}, seenByReplacement);
}

// --- Calls through two stubs nested on one thread ---------------------------

__attribute__((noipa)) int Inner(int value) { return value + 1; }
__attribute__((noipa)) int Outer(int value) { return Inner(value) * 10; }

using IntFunction = int (*)(int);
IntFunction innerStub;
IntFunction outerStub;

int InnerReplacement(int value) { return innerStub(value) + 100; }
int OuterReplacement(int value) { return outerStub(value) + 1000; }

TEST_F(CrashHookWineTest, NestedCallsThroughTwoStubsEachReturnToTheirOwnCaller) {
    const int plainInner = Inner(4);
    innerStub = HookProcedure<IntFunction>(&Inner, &InnerReplacement, "Inner");
    outerStub = HookProcedure<IntFunction>(&Outer, &OuterReplacement, "Outer");
    // Outer's own code runs while Inner is still patched, so Inner's stub is
    // entered inside Outer's.
    EXPECT_EQ((plainInner + 100) * 10 + 1000, Outer(4));
    EXPECT_EQ(plainInner + 100, Inner(4));
}

// --- Unhooking from inside a call that runs through the stub ---------------

IntFunction selfUnhookStub;
bool unhookDuringCall;

__attribute__((noipa)) int UnhooksItself(int value) {
    if (unhookDuringCall) UnhookProcedure(CodeOf(selfUnhookStub));
    return value * 3;
}

int UnhooksItselfReplacement(int value) { return selfUnhookStub(value) + 1; }

TEST_F(CrashHookWineTest, UnhookingDuringACallThroughTheStubLetsTheCallReturnAndLeavesTheProcedureFree) {
    const FirstBytes before = FirstBytesOf(CodeOf(&UnhooksItself));
    selfUnhookStub = HookProcedure<IntFunction>(&UnhooksItself, &UnhooksItselfReplacement, "UnhooksItself");
    unhookDuringCall = true;
    EXPECT_EQ(13, UnhooksItself(4));
    unhookDuringCall = false;
    EXPECT_EQ(before, FirstBytesOf(CodeOf(&UnhooksItself))) << "the returning call must not patch it again";
    EXPECT_EQ(12, UnhooksItself(4));
}

// --- Import thunks ------------------------------------------------------------

int ThunkReplacement(int value) { return -value; }

TEST_F(CrashHookWineTest, HookingAThunkPatchesTheProcedureItJumpsTo) {
    const FirstBytes thunkBefore = FirstBytesOf(CodeOf(&CrashHookTestThunk));
    const FirstBytes targetBefore = FirstBytesOf(CodeOf(&CrashHookThunkTarget));

    void* stub = HookProcedure(CodeOf(&CrashHookTestThunk), CodeOf(&ThunkReplacement), "Thunk");
    EXPECT_EQ(thunkBefore, FirstBytesOf(CodeOf(&CrashHookTestThunk)));
    EXPECT_NE(targetBefore, FirstBytesOf(CodeOf(&CrashHookThunkTarget)));
    EXPECT_EQ(-5, reinterpret_cast<IntFunction>(&CrashHookTestThunk)(5));
    EXPECT_EQ(35, reinterpret_cast<IntFunction>(stub)(5));

    UnhookAll();
    EXPECT_EQ(targetBefore, FirstBytesOf(CodeOf(&CrashHookThunkTarget)));
}

TEST_F(CrashHookWineTest, TheLinkersImportThunkResolvesToItsSlotAndOtherCodeToItself) {
    const Win32ProcessMemory memory;
    const auto thunk = reinterpret_cast<std::uintptr_t>(ToolchainGetTickCountThunk());
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(getTickCountSlot), ResolveJumpThunk(thunk, memory));
    const auto plain = reinterpret_cast<std::uintptr_t>(&Blend);
    EXPECT_EQ(plain, ResolveJumpThunk(plain, memory));
}

// --- Failures -------------------------------------------------------------------

std::string HookErrorOf(const std::function<void()>& hook) {
    try {
        hook();
    } catch (const EHookError& error) {
        return error.Message;
    }
    return "(nothing raised)";
}

void* Kernel32Procedure(const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), name));
}

TEST_F(CrashHookWineTest, FailuresRaiseTheirClassWithTheGivenName) {
    EXPECT_THROW(HookProcedure(nullptr, CodeOf(&ThunkReplacement), "x"), EProcNull);
    EXPECT_EQ("Cannot hook a null procedure (\"Nothing.Here\").",
              HookErrorOf([] { HookProcedure(nullptr, CodeOf(&ThunkReplacement), "Nothing.Here"); }));
    EXPECT_EQ("Cannot hook a null procedure (\"kernel32.Missing\").", HookErrorOf([] {
                  HookImport(GetModuleHandleA(nullptr), nullptr, CodeOf(&ThunkReplacement), false, true,
                             "kernel32.Missing");
              }));
    EXPECT_THROW(HookProcedure(reinterpret_cast<void*>(0x10), CodeOf(&ThunkReplacement), "x"), EHookingError);
    EXPECT_EQ("Cannot hook the procedure \"Low.Page\".", HookErrorOf([] {
                  HookProcedure(reinterpret_cast<void*>(0x10), CodeOf(&ThunkReplacement), "Low.Page");
              }));
    // This executable never calls Beep: no slot, and outside silent mode that fails.
    EXPECT_EQ("Cannot hook the procedure \"kernel32.Beep\".", HookErrorOf([] {
                  HookImport(GetModuleHandleA(nullptr), Kernel32Procedure("Beep"), CodeOf(&ThunkReplacement),
                             false, false, "kernel32.Beep");
              }));
}

// --- Import-slot redirection --------------------------------------------------

std::vector<unsigned char> CodeAndImportSlots(HMODULE module) {
    const auto* base = reinterpret_cast<const unsigned char*>(module);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(
        base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY& slots = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IAT];
    std::vector<unsigned char> bytes(base + nt->OptionalHeader.BaseOfCode,
                                     base + nt->OptionalHeader.BaseOfCode + nt->OptionalHeader.SizeOfCode);
    bytes.insert(bytes.end(), base + slots.VirtualAddress, base + slots.VirtualAddress + slots.Size);
    return bytes;
}

TEST_F(CrashHookWineTest, SilentImportHookOnAModuleThatNeverCallsTheTargetChangesNothing) {
    HMODULE exe = GetModuleHandleA(nullptr);
    const std::vector<unsigned char> before = CodeAndImportSlots(exe);
    EXPECT_EQ(nullptr,
              HookImport(exe, Kernel32Procedure("Beep"), CodeOf(&ThunkReplacement), false, true, "kernel32.Beep"));
    EXPECT_TRUE(before == CodeAndImportSlots(exe));
}

constexpr DWORD kFakeTicks = 0x5EEDF00D;
DWORD WINAPI FakeTickCount() { return kFakeTicks; }

DWORD lastSleepRequest;
void WINAPI RecordingSleep(DWORD milliseconds) { lastSleepRequest = milliseconds; }

std::string ExecutablePath() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

TEST_F(CrashHookWineTest, ImportHooksRedirectTheExecutablesOwnSlots) {
    void* realTickCount = getTickCountSlot;
    void* target = nullptr;
    ASSERT_TRUE(HookImportInModules({"no_such_module.dll", ExecutablePath()}, "kernel32.dll", true, target,
                                    CodeOf(&FakeTickCount), "GetTickCount"));
    EXPECT_EQ(Kernel32Procedure("GetTickCount"), target);
    EXPECT_EQ(CodeOf(&FakeTickCount), getTickCountSlot);
    EXPECT_EQ(kFakeTicks, GetTickCount());
    EXPECT_EQ(kFakeTicks, reinterpret_cast<DWORD(WINAPI*)()>(ToolchainGetTickCountThunk())());
    EXPECT_EQ(realTickCount, target);

    // Sleep is reached only by calls through its slot, never by a thunk.
    void* realSleep = Kernel32Procedure("Sleep");
    EXPECT_EQ(realSleep, HookImport(GetModuleHandleA(nullptr), realSleep, CodeOf(&RecordingSleep), false, false,
                                    "kernel32.Sleep"));
    Sleep(4321);
    EXPECT_EQ(4321u, lastSleepRequest);
}

TEST_F(CrashHookWineTest, UnhookAllPutsBackEveryPatchedProcedureAndEverySlot) {
    const FirstBytes blendBefore = FirstBytesOf(CodeOf(&Blend));
    const FirstBytes targetBefore = FirstBytesOf(CodeOf(&CrashHookThunkTarget));
    void* tickCountBefore = getTickCountSlot;
    const std::vector<unsigned char> codeBefore = CodeAndImportSlots(GetModuleHandleA(nullptr));

    blendStub = HookProcedure<BlendFunction>(&Blend, &BlendReplacement, "Blend");
    HookProcedure(CodeOf(&CrashHookTestThunk), CodeOf(&ThunkReplacement), "Thunk");
    void* target = nullptr;
    HookImportInModules({ExecutablePath()}, "kernel32.dll", false, target, CodeOf(&FakeTickCount), "GetTickCount");
    HookImport(GetModuleHandleA(nullptr), Kernel32Procedure("Sleep"), CodeOf(&RecordingSleep), false, false,
               "kernel32.Sleep");
    ASSERT_NE(codeBefore, CodeAndImportSlots(GetModuleHandleA(nullptr)));

    UnhookAll();
    EXPECT_EQ(blendBefore, FirstBytesOf(CodeOf(&Blend)));
    EXPECT_EQ(targetBefore, FirstBytesOf(CodeOf(&CrashHookThunkTarget)));
    EXPECT_EQ(tickCountBefore, getTickCountSlot);
    EXPECT_TRUE(codeBefore == CodeAndImportSlots(GetModuleHandleA(nullptr)));
    lastSleepRequest = 0;
    Sleep(1);
    EXPECT_EQ(0u, lastSleepRequest);
}

// --- Two threads through one stub ---------------------------------------------

// Calls that overlap keep the procedure unpatched; a thread may then enter
// it directly and run its own code, and the last call re-patches it. Should
// that thread still be inside the first 5 bytes, it would go on in the
// middle of the jump (the limit of patching in place, see ProcedureHooks.cpp),
// so this procedure's first instruction fills exactly those 5 bytes.
using ScaleFunction = int (*)(int, int);
ScaleFunction scaleStub;
std::atomic<int> scaleReplacementCalls;

int ScaleReplacement(int value, int factor) {
    ++scaleReplacementCalls;
    return scaleStub(value, factor) + 1;
}

struct CallOutcome {
    int throughReplacement = 0;
    int ownCode = 0;
    int wrong = 0;
};

// Each of two threads calls `call` 10,000 times with its own factor and sorts
// the results: the replacement's (own result + 1), the procedure's own code
// alone, or anything else.
CallOutcome CallFromTwoThreads(ScaleFunction call) {
    CallOutcome outcomes[2];
    std::atomic<bool> go{false};
    std::vector<std::thread> threads;
    for (int index = 0; index < 2; ++index) {
        threads.emplace_back([&, index] {
            const int factor = index + 2;
            while (!go) std::this_thread::yield();
            for (int value = 0; value < 10000; ++value) {
                const int result = call(value, factor);
                const int own = value * factor + 7;
                if (result == own + 1) ++outcomes[index].throughReplacement;
                else if (result == own) ++outcomes[index].ownCode;
                else ++outcomes[index].wrong;
            }
        });
    }
    go = true;
    for (std::thread& thread : threads) thread.join();
    return {outcomes[0].throughReplacement + outcomes[1].throughReplacement,
            outcomes[0].ownCode + outcomes[1].ownCode, outcomes[0].wrong + outcomes[1].wrong};
}

TEST_F(CrashHookWineTest, TwoThreadsCallingThroughOneHookedProcedureGetCorrectResults) {
    scaleStub = HookProcedure<ScaleFunction>(&CrashHookScale, &ScaleReplacement, "Scale");
    scaleReplacementCalls = 0;

    const CallOutcome hooked = CallFromTwoThreads(&CrashHookScale);
    EXPECT_EQ(0, hooked.wrong) << "the replacement ran twice for one call, or a result was lost";
    EXPECT_EQ(scaleReplacementCalls.load(), hooked.throughReplacement);
    EXPECT_GT(hooked.throughReplacement, 0);

    // Through the stub the procedure's own code runs, never the replacement.
    const CallOutcome direct = CallFromTwoThreads(scaleStub);
    EXPECT_EQ(20000, direct.ownCode);
    EXPECT_EQ(0xE9, FirstBytesOf(CodeOf(&CrashHookScale))[0]) << "the last call must leave the procedure patched";
}

}  // namespace
}  // namespace brenvik
