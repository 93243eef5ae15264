#include "crash/win32/Win32ProcessMemory.h"

#include <windows.h>

#include <cstring>

namespace brenvik {

namespace {

constexpr DWORD kReadableProtections = PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READ |
                                       PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;

bool IsReadableRegion(const MEMORY_BASIC_INFORMATION& region) {
    return region.State == MEM_COMMIT && (region.Protect & kReadableProtections) != 0 &&
           (region.Protect & (PAGE_GUARD | PAGE_NOACCESS)) == 0;
}

}  // namespace

bool Win32ProcessMemory::IsReadable(CrashAddress address, std::size_t size) const {
    if (size == 0) return true;
    if (address == 0 || address + size < address) return false;
    const CrashAddress end = address + size;
    CrashAddress cursor = address;
    while (cursor < end) {
        MEMORY_BASIC_INFORMATION region{};
        if (VirtualQuery(reinterpret_cast<const void*>(cursor), &region, sizeof region) == 0) return false;
        if (!IsReadableRegion(region)) return false;
        cursor = reinterpret_cast<CrashAddress>(region.BaseAddress) + region.RegionSize;
    }
    return true;
}

bool Win32ProcessMemory::Read(CrashAddress address, void* buffer, std::size_t size) const {
    if (!IsReadable(address, size)) return false;
    std::memcpy(buffer, reinterpret_cast<const void*>(address), size);
    return true;
}

}  // namespace brenvik
