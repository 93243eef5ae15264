#include "crash/win32/Win32ModuleInfo.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "crash/stack/CrashExports.h"
#include "crash/stack/ModuleSourceIndex.h"
#include "crash/stack/ModuleVersion.h"
#include "crash/win32/Win32CrashModule.h"
#include "crash/win32/Win32CrashModules.h"
#include "crash/win32/Win32ProcessMemory.h"

namespace brenvik {
namespace {

void ReadVersionResource(TCrashModuleInfo& info) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(info.FileName.c_str(), &ignored);
    if (size == 0) return;
    std::vector<char> block(size);
    if (!GetFileVersionInfoA(info.FileName.c_str(), 0, size, block.data())) return;
    void* value = nullptr;
    UINT length = 0;
    if (VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", &value, &length) && length >= 4) {
        const auto* translation = static_cast<const WORD*>(value);
        const std::string path = VersionStringPath(translation[0], translation[1], "FileDescription");
        // The length counts the terminating zero; a lone character is no description.
        if (VerQueryValueA(block.data(), path.c_str(), &value, &length) && length > 1)
            info.Description.assign(static_cast<const char*>(value), strnlen(static_cast<const char*>(value), length));
    }
    if (VerQueryValueA(block.data(), "\\", &value, &length) && length >= sizeof(VS_FIXEDFILEINFO)) {
        const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
        info.Version = FileVersionText(fixed->dwFileVersionMS, fixed->dwFileVersionLS);
    }
}

std::uint32_t FileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA attributes{};
    return GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &attributes) ? attributes.nFileSizeLow : 0;
}

// The module's own PE headers as mapped; none when they are unreadable or
// not those of an executable image.
const IMAGE_NT_HEADERS* MappedHeaders(HMODULE module) {
    const Win32ProcessMemory memory;
    const auto base = reinterpret_cast<CrashAddress>(module);
    IMAGE_DOS_HEADER dos{};
    if (!memory.Read(base, &dos, sizeof dos) || dos.e_magic != IMAGE_DOS_SIGNATURE || dos.e_lfanew <= 0) return nullptr;
    const CrashAddress at = base + static_cast<CrashAddress>(dos.e_lfanew);
    IMAGE_NT_HEADERS headers{};
    if (!memory.Read(at, &headers, sizeof headers) || headers.Signature != IMAGE_NT_SIGNATURE ||
        headers.OptionalHeader.Magic != IMAGE_NT_OPTIONAL_HDR_MAGIC)
        return nullptr;
    return reinterpret_cast<const IMAGE_NT_HEADERS*>(at);
}

void LoadExports(TCrashModuleInfo& info, HMODULE module, const IMAGE_NT_HEADERS& headers) {
    const Win32ProcessMemory memory;
    const auto base = reinterpret_cast<CrashAddress>(module);
    const IMAGE_DATA_DIRECTORY& entry = headers.OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    if (entry.VirtualAddress == 0 || entry.Size < sizeof(IMAGE_EXPORT_DIRECTORY)) return;
    IMAGE_EXPORT_DIRECTORY directory{};
    if (!memory.Read(base + entry.VirtualAddress, &directory, sizeof directory) || directory.Characteristics != 0)
        return;
    const DWORD count = std::min(directory.NumberOfFunctions, directory.NumberOfNames);
    std::vector<DWORD> names(count);
    if (count == 0 || !memory.Read(base + directory.AddressOfNames, names.data(), count * sizeof(DWORD))) return;

    // The names lie inside the export directory's range; one readability
    // test covers all of them.
    const CrashAddress directoryStart = base + entry.VirtualAddress, directoryEnd = directoryStart + entry.Size;
    if (!memory.IsReadable(directoryStart, entry.Size)) return;
    const CrashAddress codeStart = base + headers.OptionalHeader.BaseOfCode;
    const CrashAddress codeEnd = codeStart + headers.OptionalHeader.SizeOfCode;
    const bool codeReadable = memory.IsReadable(codeStart, codeEnd - codeStart);
    for (DWORD nameRva : names) {
        const CrashAddress nameAt = base + nameRva;
        if (nameAt < directoryStart || nameAt >= directoryEnd) continue;
        const char* text = reinterpret_cast<const char*>(nameAt);
        std::string name(text, strnlen(text, directoryEnd - nameAt));
        // The system's answer, so forwarded exports give their real code.
        const auto address = reinterpret_cast<CrashAddress>(GetProcAddress(module, name.c_str()));
        if (name.empty() || address == 0) continue;
        std::uint32_t size = 1;
        if (codeReadable && address >= codeStart && address < codeEnd)
            size = EstimateProcedureSize(reinterpret_cast<const std::uint8_t*>(address), codeEnd - address);
        info.Functions.push_back({std::move(name), address, size});
    }
    std::stable_sort(info.Functions.begin(), info.Functions.end(),
                     [](const TCrashFunctionInfo& a, const TCrashFunctionInfo& b) { return a.Address < b.Address; });
}

bool HasPackageResources(const std::string& fileName) {
    HMODULE data = LoadLibraryExA(fileName.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!data) return false;
    const bool package = FindResourceA(data, "PACKAGEINFO", MAKEINTRESOURCEA(10)) &&
                         FindResourceA(data, "PACKAGEOPTIONS", MAKEINTRESOURCEA(10));
    FreeLibrary(data);
    return package;
}

std::uint8_t KindOf(const IMAGE_NT_HEADERS& headers, const std::string& fileName) {
    if ((headers.FileHeader.Characteristics & IMAGE_FILE_DLL) == 0) return mkProgram;
    return HasPackageResources(fileName) ? mkPackage : mkLibrary;
}

void LoadDataBlock(TCrashModuleInfo& info, HMODULE module) {
    info.Options = std::make_unique<TCrashModuleOptionsEx>(info.FileName, true, ActiveCrashEnvironment());
    TModuleData data;
    if (LoadModuleDataBlock(module, *info.Options, data) == TDataBlockStatus::Absent) return;
    info.DataVersion = data.Version;
    info.BuildTime = data.BuildTime;
    if (data.DebugInfo.empty()) return;
    info.DebugInfo = std::make_unique<std::string>(std::move(data.DebugInfo));
    info.SourceIndex = std::make_shared<const TModuleSourceIndex>(*info.DebugInfo, info.DataVersion);
}

}  // namespace

std::unique_ptr<TCrashModuleInfo> QuickModuleInfo(HMODULE module) {
    std::string fileName = ModuleFileName(module);
    if (fileName.empty()) return nullptr;
    auto info = std::make_unique<TCrashModuleInfo>();
    info->Handle = reinterpret_cast<CrashAddress>(module);
    info->FileName = std::move(fileName);
    return info;
}

std::unique_ptr<TCrashModuleInfo> LoadModuleInfo(HMODULE module) {
    auto info = QuickModuleInfo(module);
    if (!info) return nullptr;
    ReadVersionResource(*info);
    info->Size = FileSize(info->FileName);
    if (const IMAGE_NT_HEADERS* headers = MappedHeaders(module)) {
        LoadExports(*info, module, *headers);
        info->Kind = KindOf(*headers, info->FileName);
    }
    LoadDataBlock(*info, module);
    return info;
}

}  // namespace brenvik
