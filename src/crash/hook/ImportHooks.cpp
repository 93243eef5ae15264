#include "crash/hook/ImportHooks.h"

#include <cstdint>
#include <cstring>
#include <mutex>

#include "crash/hook/CodeWriter.h"
#include "crash/hook/JumpThunk.h"
#include "crash/hook/ModuleAddress.h"
#include "crash/stack/ImportThunk.h"
#include "crash/win32/Win32CrashModule.h"
#include "crash/win32/Win32ProcessMemory.h"

namespace brenvik {

namespace {

struct ImportHook {
    HMODULE Module;
    void* Target;
    void* Replacement;
};

std::mutex& ListLock() {
    static std::mutex& lock = *new std::mutex;
    return lock;
}

std::vector<ImportHook>& ImportHooks() {
    // Never destroyed: the facility unhooks during static destruction, in
    // whatever order the runtime tears the rest of the program down.
    static std::vector<ImportHook>& hooks = *new std::vector<ImportHook>;
    return hooks;
}

struct CodeRange {
    std::uintptr_t Start = 0;
    std::size_t Size = 0;
};

// The code section and the import address table as the image's optional
// header gives them; empty when the headers or the section cannot be read.
struct ImageRanges {
    CodeRange Code;
    CodeRange ImportAddresses;
};

ImageRanges RangesOf(HMODULE module, const ProcessMemory& memory) {
    const auto base = reinterpret_cast<std::uintptr_t>(module);
    IMAGE_DOS_HEADER dos{};
    IMAGE_NT_HEADERS nt{};
    if (!memory.Read(base, &dos, sizeof dos) || dos.e_magic != IMAGE_DOS_SIGNATURE) return {};
    if (!memory.Read(base + dos.e_lfanew, &nt, sizeof nt) || nt.Signature != IMAGE_NT_SIGNATURE) return {};
    const CodeRange code{base + nt.OptionalHeader.BaseOfCode, nt.OptionalHeader.SizeOfCode};
    if (!memory.IsReadable(code.Start, code.Size)) return {};
    const IMAGE_DATA_DIRECTORY& table = nt.OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IAT];
    return {code, {base + table.VirtualAddress, table.Size}};
}

// GNU ld reaches an import through a thunk (FF 25, jump through the slot)
// only for code that did not declare the procedure as imported; code that
// did (everything built against the system headers) calls through the slot
// directly (FF 15). Both name the slot, so both are followed.
bool NamesMemorySlot(const unsigned char* code) { return code[0] == 0xFF && (code[1] == 0x25 || code[1] == 0x15); }

bool RedirectSlots(HMODULE module, void* target, void* replacement) {
    const Win32ProcessMemory memory;
    const ImageRanges ranges = RangesOf(module, memory);
    const CodeRange& code = ranges.Code;
    const CodeRange& table = ranges.ImportAddresses;
    constexpr std::size_t kInstructionSize = 6;
    bool found = false;
    for (std::size_t offset = 0; offset + kInstructionSize <= code.Size; ++offset) {
        const auto* bytes = reinterpret_cast<const unsigned char*>(code.Start + offset);
        if (!NamesMemorySlot(bytes)) continue;
        std::int32_t operand = 0;
        std::memcpy(&operand, bytes + 2, sizeof operand);
        const std::uintptr_t slot = MemorySlot(operand, code.Start + offset + kInstructionSize, kBuildArchitecture);
        // Calls through the program's own function-pointer variables name
        // memory too; only the import address table holds import slots.
        if (table.Size != 0 && (slot < table.Start || slot - table.Start >= table.Size)) continue;
        void* held = nullptr;
        if (!memory.Read(slot, &held, sizeof held) || held != target || !ModuleAt(slot)) continue;
        if (WriteCode(reinterpret_cast<void*>(slot), &replacement, sizeof replacement)) found = true;
    }
    return found;
}

}  // namespace

void* HookImport(HMODULE module, void* target, void* replacement, bool restoring, bool silent,
                 const std::string& name) {
    if (!target) throw EProcNull(name);
    if (IsInLegacySharedArea(reinterpret_cast<std::uintptr_t>(module))) throw ESharedArea(ModuleFileName(module));
    if (!RedirectSlots(module, target, replacement)) {
        if (silent) return nullptr;
        throw EHookingError(name);
    }
    if (!restoring) {
        std::lock_guard<std::mutex> guard(ListLock());
        ImportHooks().push_back(ImportHook{module, target, replacement});
    }
    return target;
}

bool HookImportInModules(const std::vector<std::string>& moduleNames, const std::string& library, bool silent,
                         void*& target, void* replacement, const std::string& procedure) {
    HMODULE libraryModule = GetModuleHandleA(library.c_str());
    target = libraryModule ? reinterpret_cast<void*>(GetProcAddress(libraryModule, procedure.c_str())) : nullptr;
    bool changed = false;
    for (const std::string& moduleName : moduleNames) {
        HMODULE module = GetModuleHandleA(moduleName.c_str());
        if (!module) continue;
        if (HookImport(module, target, replacement, false, silent, library + "." + procedure)) changed = true;
    }
    return changed;
}

void UnhookAllImports() {
    std::vector<ImportHook> hooks;
    {
        std::lock_guard<std::mutex> guard(ListLock());
        hooks.swap(ImportHooks());
    }
    for (const ImportHook& hook : hooks) HookImport(hook.Module, hook.Replacement, hook.Target, true, true, "");
}

}  // namespace brenvik
