#include "crash/win32/Win32ModulesList.h"

#include <tlhelp32.h>

#include <algorithm>
#include <vector>

#include "crash/CrashStream.h"
#include "crash/debuginfo/DebugInfo.h"
#include "crash/stack/CallStackScan.h"
#include "crash/win32/Win32CrashModule.h"
#include "crash/win32/Win32ModuleInfo.h"
#include "crash/win32/Win32ProcessMemory.h"

namespace brenvik {
namespace {

using EnumProcessModulesProc = BOOL(WINAPI*)(HANDLE, HMODULE*, DWORD, LPDWORD);

// PSAPI is loaded only when a report needs it; without it the tool-help
// snapshot lists the modules.
std::optional<std::vector<HMODULE>> ModulesFromPsapi() {
    HMODULE psapi = LoadLibraryA("PSAPI.DLL");
    if (!psapi) return std::nullopt;
    const auto enumerate = reinterpret_cast<EnumProcessModulesProc>(
        reinterpret_cast<void*>(GetProcAddress(psapi, "EnumProcessModules")));
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, GetCurrentProcessId());
    std::optional<std::vector<HMODULE>> result;
    if (enumerate && process) {
        std::vector<HMODULE> modules(256);
        DWORD needed = 0;
        // Modules may load between the two calls: ask until the list fits.
        while (enumerate(process, modules.data(), static_cast<DWORD>(modules.size() * sizeof(HMODULE)), &needed)) {
            if (needed <= modules.size() * sizeof(HMODULE)) {
                modules.resize(needed / sizeof(HMODULE));
                result = std::move(modules);
                break;
            }
            modules.resize(needed / sizeof(HMODULE) + 16);
        }
    }
    if (process) CloseHandle(process);
    FreeLibrary(psapi);
    return result;
}

std::vector<HMODULE> ModulesFromToolHelp() {
    std::vector<HMODULE> modules;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, GetCurrentProcessId());
    if (snapshot == INVALID_HANDLE_VALUE) return modules;
    MODULEENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Module32First(snapshot, &entry); more; more = Module32Next(snapshot, &entry))
        modules.push_back(entry.hModule);
    CloseHandle(snapshot);
    return modules;
}

std::vector<HMODULE> LoadedModules() {
    if (auto modules = ModulesFromPsapi()) return *modules;
    return ModulesFromToolHelp();
}

}  // namespace

Win32ModulesList::Win32ModulesList() {
    if (auto own = LoadModuleInfo(CrashFacilityModule())) Insert(std::move(own));
}

TCrashModuleInfo* Win32ModulesList::Find(CrashAddress handle) {
    for (const auto& record : modules_)
        if (record->Handle == handle) return record.get();
    return nullptr;
}

void Win32ModulesList::Insert(std::unique_ptr<TCrashModuleInfo> record) {
    auto at = std::upper_bound(modules_.begin(), modules_.end(), record->Handle,
                               [](CrashAddress handle, const auto& other) { return handle < other->Handle; });
    modules_.insert(at, std::move(record));
}

void Win32ModulesList::Refresh() {
    std::vector<CrashAddress> loaded;
    for (HMODULE module : LoadedModules()) loaded.push_back(reinterpret_cast<CrashAddress>(module));
    std::sort(loaded.begin(), loaded.end());
    std::erase_if(modules_, [&](const auto& record) {
        return !std::binary_search(loaded.begin(), loaded.end(), record->Handle);
    });
    for (CrashAddress handle : loaded)
        if (!Find(handle))
            if (auto record = QuickModuleInfo(reinterpret_cast<HMODULE>(handle))) Insert(std::move(record));
}

const TCrashModuleInfo* Win32ModulesList::ByHandle(HMODULE module) {
    const auto handle = reinterpret_cast<CrashAddress>(module);
    TCrashModuleInfo* record = Find(handle);
    if (record && record->Kind != mkNotExamined) return record;
    auto full = LoadModuleInfo(module);
    if (!full) return record;
    if (record) {
        *record = std::move(*full);  // completed in place: entries already pointing at it stay valid
        return record;
    }
    record = full.get();
    Insert(std::move(full));
    return record;
}

const TCrashModuleInfo* Win32ModulesList::ModuleAt(CrashAddress address) {
    HMODULE module = nullptr;
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCSTR>(address), &module))
        return nullptr;
    return ByHandle(module);
}

TCrashStackList Win32ModulesList::BuildCallStack(std::optional<CrashAddress> firstAddress, CrashAddress stackPointer,
                                                 CrashAddress stackTop) {
    return brenvik::BuildCallStack(Win32ProcessMemory(), *this, firstAddress, stackPointer, stackTop);
}

std::optional<CrashAddress> Win32ModulesList::FindProcedureAddress(const std::string& qualifiedName) {
    const TCrashModuleInfo* own = ByHandle(CrashFacilityModule());
    if (!own || !own->DebugInfo) return std::nullopt;
    try {
        for (const TDebugProcedure& procedure : DecodeDebugInfo(*own->DebugInfo, own->DataVersion).Procedures)
            if (procedure.Name == qualifiedName) return own->Handle + 4096 + procedure.Offset;
    } catch (const ECrashStreamError&) {
    }
    return std::nullopt;
}

}  // namespace brenvik
