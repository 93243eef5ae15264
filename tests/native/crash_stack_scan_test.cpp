// The raw stack scan over hand-assembled code and stack bytes.
#include <gtest/gtest.h>

#include "crash/stack/CallStackScan.h"
#include "crash/stack/ImportThunk.h"
#include "crash_stack_fakes.h"

namespace brenvik {
namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr auto kX86 = TCodeArchitecture::X86;
constexpr auto kX64 = TCodeArchitecture::X64;

Bytes Le32(std::uint32_t value) {
    return {std::uint8_t(value), std::uint8_t(value >> 8), std::uint8_t(value >> 16), std::uint8_t(value >> 24)};
}

Bytes Concat(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// A direct call at `at` to `target`.
Bytes CallTo(CrashAddress at, CrashAddress target) {
    return Concat({0xE8}, Le32(static_cast<std::uint32_t>(target - (at + 5))));
}

// One module at 0x400000: code from 0x401000, data from 0x403000; a stack
// at 0x120000 elsewhere.
class CrashStackScan : public ::testing::Test {
protected:
    static constexpr CrashAddress kModule = 0x400000, kCode = 0x401000, kData = 0x403000;
    static constexpr CrashAddress kStack = 0x120000;
    static constexpr CrashAddress kFramed = 0x401100;     // push ebp; mov ebp, esp; pop ebp; ret
    static constexpr CrashAddress kStub = 0x401200;       // starts with a call
    static constexpr CrashAddress kThunk = 0x401300;      // jmp [kSlot]; nop; nop
    static constexpr CrashAddress kSlot = kData;          // holds kFramed

    void SetUp() override {
        module = &modules.Add(kModule, 0x4000);
        memory.PutZeros(kCode, 0x1000);
        memory.PutZeros(kData, 0x100);
        memory.Write(kFramed, {0x55, 0x89, 0xE5, 0x5D, 0xC3});
        memory.Write(kStub, CallTo(kStub, kFramed));
        memory.Write(kThunk, Concat(Concat({0xFF, 0x25}, Le32(kSlot)), {0x90, 0x90}));
        memory.WriteWord(kSlot, kFramed, 4);
    }

    // Code bytes at `at`; returns the address just after them.
    CrashAddress Code(CrashAddress at, const Bytes& bytes) {
        memory.Write(at, bytes);
        return at + bytes.size();
    }

    std::vector<CrashAddress> ScanWords(const std::vector<CrashAddress>& words, TCodeArchitecture arch = kX86) {
        const std::size_t size = PointerSize(arch);
        memory.PutZeros(kStack, words.size() * size);
        for (std::size_t i = 0; i < words.size(); ++i) memory.WriteWord(kStack + i * size, words[i], size);
        return FindCallSites(memory, modules, kStack, kStack + words.size() * size, arch);
    }

    FakeProcessMemory memory;
    FakeModules modules;
    TCrashModuleInfo* module = nullptr;
};

TEST_F(CrashStackScan, DirectCallsNameTheCalleeThenTheCallSite) {
    const CrashAddress toFramed = Code(0x401010, CallTo(0x401010, kFramed));
    const CrashAddress toStub = Code(0x401020, CallTo(0x401020, kStub));
    const CrashAddress toThunk = Code(0x401030, CallTo(0x401030, kThunk));
    const CrashAddress toNowhere = Code(0x401040, CallTo(0x401040, 0x50000000));
    EXPECT_EQ(ScanWords({toFramed, 0x12345678, toStub, kFramed, toThunk, toNowhere}),
              (std::vector<CrashAddress>{kFramed, 0x401010,     // callee, then the call
                                         0x401020,              // a callee that starts with a call is left out
                                         kFramed, 0x401030}));  // the thunk is followed to its slot's target
}

TEST_F(CrashStackScan, EachCallFormGivesItsInstructionStart) {
    const std::vector<std::pair<Bytes, int>> forms = {
        {{0xFF, 0xD3}, 2},                         // call ebx
        {{0xFF, 0x12}, 2},                         // call [edx]
        {{0xFF, 0x17}, 2},                         // call [edi]
        {{0xFF, 0x56, 0x08}, 3},                   // call [esi+8]
        {{0xFF, 0x90, 1, 2, 0, 0}, 6},             // call [eax+0x201]
        {{0xFF, 0x14, 0x24}, 3},                   // call [esp]
        {{0xFF, 0x54, 0x24, 0x08}, 4},             // call [esp+8]
        {{0xFF, 0x94, 0x24, 0, 1, 0, 0}, 7},       // call [esp+0x100]
        {Concat({0xFF, 0x15}, Le32(kSlot)), 6},    // call [slot]
    };
    for (const auto& [bytes, length] : forms) {
        memory.PutZeros(kCode, 0x100);  // fresh code for each form
        const CrashAddress end = Code(0x401050, bytes);
        EXPECT_EQ(ScanWords({end}), std::vector<CrashAddress>{end - length}) << length << " bytes";
    }
    // Registers the forms leave out (esp as base, ebp without displacement).
    for (const Bytes& notACall : {Bytes{0xFF, 0x14}, Bytes{0xFF, 0x15}, Bytes{0xFF, 0x54, 0x08}, Bytes{0xFF, 0xC3}}) {
        memory.PutZeros(kCode, 0x100);
        EXPECT_TRUE(ScanWords({Code(0x401050, notACall)}).empty());
    }
}

TEST_F(CrashStackScan, FirstMatchingFormWins) {
    // A direct call whose operand ends in FF D0 ("call eax"): with a
    // readable target the direct call wins.
    const CrashAddress both = Code(0x401060, {0xE8, 0x00, 0x00, 0xFF, 0xD0});
    const CrashAddress target = static_cast<std::uint32_t>(both + 0xD0FF0000u);
    memory.PutZeros(target, 16);
    EXPECT_EQ(ScanWords({both}), (std::vector<CrashAddress>{target, 0x401060}));
    // With an unreadable target the register form gets its turn.
    memory.PutZeros(kCode, 0x100);
    const CrashAddress registerCall = Code(0x401070, {0xE8, 0x11, 0x22, 0xFF, 0xD0});
    EXPECT_EQ(ScanWords({registerCall}), std::vector<CrashAddress>{registerCall - 2});
    // FF 15 comes last: a "call [esp]" tail inside its operand wins.
    memory.PutZeros(kCode, 0x100);
    const CrashAddress slotCall = Code(0x401080, {0xFF, 0x15, 0x00, 0xFF, 0x14, 0x24});
    EXPECT_EQ(ScanWords({slotCall}), std::vector<CrashAddress>{slotCall - 3});
}

TEST_F(CrashStackScan, UnreadableSlotOrCodeGivesNoEntry) {
    const CrashAddress badSlot = Code(0x401090, Concat({0xFF, 0x15}, Le32(0x09990000)));
    const CrashAddress nearStart = kCode + 3;  // fewer than 7 readable bytes before it
    memory.Write(kCode, {0xFF, 0xD0});
    EXPECT_TRUE(ScanWords({badSlot, nearStart - 1, 0x00000002, 0xFFFFFFFF}).empty());
}

TEST_F(CrashStackScan, UnreadableStackIsSkippedBlockByBlock) {
    const CrashAddress call = Code(0x4010A0, {0xFF, 0xD1});
    // 1,200 bytes of stack: the first and second 400-byte blocks are readable
    // only in part, the third in full.
    memory.PutZeros(kStack, 100);
    memory.PutZeros(kStack + 500, 700);
    for (CrashAddress at : {kStack + 96, kStack + 500, kStack + 1196}) memory.WriteWord(at, call, 4);
    memory.reads = 0;
    const auto found = FindCallSites(memory, modules, kStack, kStack + 1200, kX86);
    EXPECT_EQ(found, std::vector<CrashAddress>(3, call - 2));
    // Blocks 1 and 2 fall back to 100 word reads each, block 3 is read at
    // once; each call word costs one read of the code before it.
    EXPECT_EQ(memory.reads, 3 + 200 + 3);  // zero words need no code read
}

TEST_F(CrashStackScan, StackRangeEndsAtTheTopAndOddTails) {
    const CrashAddress call = Code(0x4010B0, {0xFF, 0xD1});
    memory.PutZeros(kStack, 16);
    memory.WriteWord(kStack + 8, call, 4);
    memory.WriteWord(kStack + 12, call, 4);
    EXPECT_EQ(FindCallSites(memory, modules, kStack, kStack + 12, kX86).size(), 1u);
    EXPECT_EQ(FindCallSites(memory, modules, kStack, kStack + 15, kX86).size(), 1u);  // 3 bytes are no word
    EXPECT_TRUE(FindCallSites(memory, modules, kStack + 12, kStack + 12, kX86).empty());
}

TEST_F(CrashStackScan, X64UsesEightByteWordsRipRelativeSlotsAndRexRegisters) {
    // call [rip+disp]: the slot is relative to the end of the instruction.
    const CrashAddress slotCall = Code(0x401100 - 0x60, Concat({0xFF, 0x15}, Le32(kSlot - (0x401100 - 0x60 + 6))));
    const CrashAddress rexCall = Code(0x401080, {0x41, 0xFF, 0xD3});  // call r11
    const CrashAddress plainCall = Code(0x401090, {0x48, 0xFF, 0xD0});  // call rax; REX.W stays outside
    const CrashAddress high = 0x7FF600000000;
    EXPECT_EQ(ScanWords({slotCall, rexCall, plainCall, high}, kX64),
              (std::vector<CrashAddress>{slotCall - 6, rexCall - 3, plainCall - 2}));
    // An absolute operand that is readable at its face value is not the slot on x86-64.
    memory.PutZeros(kCode, 0x200);
    const CrashAddress absolute = Code(0x401050, Concat({0xFF, 0x15}, Le32(kSlot)));
    EXPECT_TRUE(ScanWords({absolute}, kX64).empty());
    EXPECT_EQ(ScanWords({absolute}, kX86), std::vector<CrashAddress>{absolute - 6});
}

TEST_F(CrashStackScan, ThunksAreFollowedOnlyInTheirKnownShapes) {
    EXPECT_EQ(FollowImportThunk(memory, modules, kThunk, kX86), kFramed);
    memory.Write(kThunk + 6, {0x8B, 0xC0});
    EXPECT_EQ(FollowImportThunk(memory, modules, kThunk, kX86), kFramed);
    memory.Write(kThunk + 6, {0xFF, 0x25});  // the next thunk right behind
    EXPECT_EQ(FollowImportThunk(memory, modules, kThunk, kX86), kFramed);
    memory.Write(kThunk + 6, {0x00, 0x00});
    EXPECT_EQ(FollowImportThunk(memory, modules, kThunk, kX86), kThunk);
    // A slot outside every module is not followed, even when readable.
    memory.PutZeros(0x10000000, 16);
    memory.WriteWord(0x10000000, kFramed, 4);
    memory.Write(kThunk, Concat(Concat({0xFF, 0x25}, Le32(0x10000000)), {0x90, 0x90}));
    EXPECT_EQ(FollowImportThunk(memory, modules, kThunk, kX86), kThunk);
    // x86-64: the slot is relative to the end of the jump and holds 8 bytes.
    const CrashAddress far = 0x7FF612345678;
    memory.WriteWord(kSlot, far, 8);
    memory.Write(kThunk, Concat(Concat({0xFF, 0x25}, Le32(kSlot - (kThunk + 6))), {0x90, 0x90}));
    EXPECT_EQ(FollowImportThunk(memory, modules, kThunk, kX64), far);
}

TEST_F(CrashStackScan, CallStackStartsWithTheFirstAddressAndKeepsEveryKind) {
    module->Functions = {{"Framed", kFramed, 4}};
    const CrashAddress toFramed = Code(0x401010, CallTo(0x401010, kFramed));
    memory.PutZeros(0x1FFFFFF0, 32);  // code outside every module
    memory.Write(0x20000000, {0xFF, 0xD0});
    memory.PutZeros(kStack, 8);
    memory.WriteWord(kStack, toFramed, 4);
    memory.WriteWord(kStack + 4, 0x20000002, 4);
    const TCrashStackList stack = BuildCallStack(memory, modules, kFramed + 3, kStack, kStack + 8, kX86);
    ASSERT_EQ(stack.size(), 4u);
    EXPECT_EQ(stack[0].Address, kFramed + 3);
    EXPECT_EQ(stack[0].Kind, dkProcedure);
    EXPECT_EQ(stack[0].ProcedureName, "Framed");
    EXPECT_EQ(stack[1].Address, kFramed);
    EXPECT_EQ(stack[2].Address, 0x401010u);
    EXPECT_EQ(stack[2].Kind, dkModule);
    EXPECT_EQ(stack[2].Module, module);
    EXPECT_EQ(stack[3].Address, 0x20000000u);
    EXPECT_EQ(stack[3].Kind, dkOutside);
    EXPECT_EQ(stack[3].Module, nullptr);
}

}  // namespace
}  // namespace brenvik
