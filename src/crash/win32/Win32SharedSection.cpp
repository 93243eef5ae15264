#include "crash/win32/Win32SharedSection.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

namespace brenvik {

std::string PublishedOptionsSectionName(DWORD processId, HMODULE module) {
    char name[48];
    std::snprintf(name, sizeof name, "%08lX%08llXMODULE", static_cast<unsigned long>(processId),
                  static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(module)));
    return name;
}

bool Win32SharedSection::Publish(std::string_view block) {
    // Every throwing thread publishes: one at a time.
    const std::lock_guard lock(lock_);
    ReleaseMapping();
    const std::uint64_t size = sizeof(std::uint32_t) + block.size();
    mapping_ = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, static_cast<DWORD>(size >> 32),
                                  static_cast<DWORD>(size), name_.c_str());
    if (!mapping_) return false;
    void* view = MapViewOfFile(mapping_, FILE_MAP_WRITE, 0, 0, 0);
    // A reader that still holds the earlier section keeps it, at its old size.
    MEMORY_BASIC_INFORMATION region{};
    if (!view || !VirtualQuery(view, &region, sizeof region) || region.RegionSize < size) {
        if (view) UnmapViewOfFile(view);
        ReleaseMapping();
        return false;
    }
    const std::uint32_t length = static_cast<std::uint32_t>(block.size());
    std::memcpy(view, &length, sizeof length);
    std::memcpy(static_cast<char*>(view) + sizeof length, block.data(), block.size());
    UnmapViewOfFile(view);
    return true;
}

void Win32SharedSection::Release() {
    const std::lock_guard lock(lock_);
    ReleaseMapping();
}

void Win32SharedSection::ReleaseMapping() {
    if (mapping_) CloseHandle(mapping_);
    mapping_ = nullptr;
}

std::optional<std::string> ReadSharedSection(const std::string& name) {
    HANDLE mapping = OpenFileMappingA(FILE_MAP_READ, FALSE, name.c_str());
    if (!mapping) return std::nullopt;
    std::optional<std::string> block;
    if (void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0)) {
        MEMORY_BASIC_INFORMATION region{};
        std::uint32_t length = 0;
        if (VirtualQuery(view, &region, sizeof region) && region.RegionSize >= sizeof length) {
            std::memcpy(&length, view, sizeof length);
            if (length <= region.RegionSize - sizeof length)
                block = std::string(static_cast<const char*>(view) + sizeof length, length);
        }
        UnmapViewOfFile(view);
    }
    CloseHandle(mapping);
    return block;
}

}  // namespace brenvik
