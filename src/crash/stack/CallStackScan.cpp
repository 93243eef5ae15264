#include "crash/stack/CallStackScan.h"

#include <algorithm>
#include <cstring>

#include "crash/stack/ImportThunk.h"

// The same byte forms serve both builds: x86-64 keeps the one-byte opcodes
// and ModRM bytes of x86 for near calls. What differs there: stack words are
// 8 bytes, "call [disp32]" (FF 15) addresses its slot relative to the next
// instruction rather than absolutely, and a call through r8-r15 carries a
// REX prefix. Calls through r8-r15 in memory forms (41 FF 10-17, ...) are
// found without their prefix, one byte into the instruction, which names the
// same procedure.
namespace brenvik {
namespace {

// Stack readability is tested a block at a time; a block that fails is
// read word by word, so one unreadable page skips only its own words.
constexpr std::size_t kStackBlock = 400;
// The longest call form looked for, FF 94 24 and a 32-bit displacement.
constexpr std::size_t kLongestCall = 7;

bool In(std::uint8_t byte, std::uint8_t low, std::uint8_t high) { return byte >= low && byte <= high; }

class CallSiteFinder {
public:
    CallSiteFinder(const ProcessMemory& memory, ModuleLocator& modules, TCodeArchitecture architecture)
        : memory_(memory), modules_(modules), architecture_(architecture) {}

    // The forms are tried in a fixed order and the first that matches wins;
    // b[i] is the byte at returnAddress - 7 + i.
    void Examine(CrashAddress returnAddress) {
        if (returnAddress < kLongestCall) return;
        std::uint8_t b[kLongestCall];
        if (!memory_.Read(returnAddress - kLongestCall, b, sizeof b)) return;
        const CrashAddress v = returnAddress;
        if (b[2] == 0xE8 && DirectCall(v, Int32At(b + 3))) return;
        if (b[5] == 0xFF && In(b[6], 0xD0, 0xD7)) {
            // x86-64 reaches r8-r15 through a REX.B prefix in front; on x86
            // that byte would be an unrelated "inc ecx".
            Add(architecture_ == TCodeArchitecture::X64 && b[4] == 0x41 ? v - 3 : v - 2);
        } else if (b[5] == 0xFF && (In(b[6], 0x10, 0x13) || In(b[6], 0x16, 0x17))) {
            Add(v - 2);
        } else if (b[4] == 0xFF && (In(b[5], 0x50, 0x53) || In(b[5], 0x55, 0x57))) {
            Add(v - 3);
        } else if (b[1] == 0xFF && (In(b[2], 0x90, 0x93) || In(b[2], 0x95, 0x97))) {
            Add(v - 6);
        } else if (b[4] == 0xFF && b[5] == 0x14 && b[6] == 0x24) {
            Add(v - 3);
        } else if (b[3] == 0xFF && b[4] == 0x54 && b[5] == 0x24) {
            Add(v - 4);
        } else if (b[0] == 0xFF && b[1] == 0x94 && b[2] == 0x24) {
            Add(v - 7);
        } else if (b[1] == 0xFF && b[2] == 0x15) {
            if (CrashAddress slot = MemorySlot(Int32At(b + 3), v, architecture_);
                memory_.IsReadable(slot, PointerSize(architecture_)))
                Add(v - 6);
        }
    }

    std::vector<CrashAddress> Take() { return std::move(found_); }

private:
    static std::int32_t Int32At(const std::uint8_t* bytes) {
        std::int32_t value;
        std::memcpy(&value, bytes, sizeof value);
        return value;
    }

    // A call whose target cannot be read is no call: then the other forms
    // get their turn, since random bytes ending in a real "call register"
    // often have an E8 five bytes back.
    bool DirectCall(CrashAddress v, std::int32_t operand) {
        CrashAddress target = v + static_cast<CrashAddress>(static_cast<std::int64_t>(operand));
        if (architecture_ == TCodeArchitecture::X86) target = static_cast<std::uint32_t>(target);  // wraps at 4 GB
        if (!memory_.IsReadable(target, 1)) return false;
        const CrashAddress callee = FollowImportThunk(memory_, modules_, target, architecture_);
        std::uint8_t start[5];
        // A callee that starts with a call is a stub whose own call is
        // reported by its return address; naming it too would add noise.
        if (memory_.Read(callee, start, sizeof start) && start[0] != 0xE8) Add(callee);
        Add(v - 5);
        return true;
    }

    void Add(CrashAddress address) { found_.push_back(address); }

    const ProcessMemory& memory_;
    ModuleLocator& modules_;
    TCodeArchitecture architecture_;
    std::vector<CrashAddress> found_;
};

}  // namespace

std::vector<CrashAddress> FindCallSites(const ProcessMemory& memory, ModuleLocator& modules, CrashAddress stackPointer,
                                        CrashAddress stackTop, TCodeArchitecture architecture) {
    CallSiteFinder finder(memory, modules, architecture);
    const std::size_t word = PointerSize(architecture);
    std::uint8_t block[kStackBlock];
    for (CrashAddress start = stackPointer; start < stackTop && stackTop - start >= word; start += kStackBlock) {
        const std::size_t words = std::min<CrashAddress>(kStackBlock, stackTop - start) / word;
        const bool whole = memory.Read(start, block, words * word);
        for (std::size_t i = 0; i < words; ++i) {
            std::uint64_t value = 0;
            if (whole)
                std::memcpy(&value, block + i * word, word);
            else if (!memory.Read(start + i * word, &value, word))
                continue;
            finder.Examine(static_cast<CrashAddress>(value));
        }
    }
    return finder.Take();
}

TCrashStackList BuildCallStack(const ProcessMemory& memory, ModuleLocator& modules,
                               std::optional<CrashAddress> firstAddress, CrashAddress stackPointer,
                               CrashAddress stackTop, TCodeArchitecture architecture) {
    TCrashStackList stack;
    if (firstAddress) stack.push_back(DescribeCodeAddress(modules.ModuleAt(*firstAddress), *firstAddress));
    for (CrashAddress address : FindCallSites(memory, modules, stackPointer, stackTop, architecture))
        stack.push_back(DescribeCodeAddress(modules.ModuleAt(address), address));
    return stack;
}

}  // namespace brenvik
