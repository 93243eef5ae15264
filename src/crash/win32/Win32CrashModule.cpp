#include "crash/win32/Win32CrashModule.h"

#include <fstream>
#include <iterator>

namespace brenvik {

std::string ModuleFileName(HMODULE module) {
    char name[MAX_PATH * 2];
    const DWORD length = GetModuleFileNameA(module, name, sizeof name);
    return length > 0 && length < sizeof name ? std::string(name, length) : std::string();
}

namespace {

std::string FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

}  // namespace

HMODULE CrashFacilityModule() {
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&CrashFacilityModule), &module);
    return module;
}

std::string_view FindCldataResource(HMODULE module) {
    HRSRC resource = FindResourceA(module, "CLDATA", MAKEINTRESOURCEA(10));  // RT_RCDATA
    if (!resource) return {};
    HGLOBAL loaded = LoadResource(module, resource);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes) return {};
    return {static_cast<const char*>(bytes), SizeofResource(module, resource)};
}

TDataBlockStatus LoadModuleDataBlock(HMODULE module, TCrashModuleOptions& options, TModuleData& data) {
    TDataBlockStatus status = ReadResourceDataBlock(FindCldataResource(module), options, data);
    if (status == TDataBlockStatus::Absent) {
        const std::string file = ModuleFileName(module);
        if (!file.empty()) status = ReadAppendedDataBlock(FileBytes(file), options, data);
    }
    if (status == TDataBlockStatus::Absent) return status;
    if (auto published = ReadSharedSection(PublishedOptionsSectionName(GetCurrentProcessId(), module)))
        LoadPublishedOptions(*published, options);
    return status;
}

Win32CrashOptionsEnvironment::Win32CrashOptionsEnvironment()
    : section_(PublishedOptionsSectionName(GetCurrentProcessId(), CrashFacilityModule())) {
    section_.Publish(std::string_view("\0", 1));  // nothing changed yet
}

bool Win32CrashOptionsEnvironment::IsOwnModule(const std::string& moduleFileName) const {
    return !moduleFileName.empty() && GetModuleHandleA(moduleFileName.c_str()) == CrashFacilityModule();
}

}  // namespace brenvik
