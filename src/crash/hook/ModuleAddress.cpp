#include "crash/hook/ModuleAddress.h"

namespace brenvik {

HMODULE ModuleAt(std::uintptr_t address) {
    HMODULE module = nullptr;
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCSTR>(address), &module))
        return nullptr;
    return module;
}

bool IsInLegacySharedArea(std::uintptr_t address) {
    constexpr std::uintptr_t kTopBit = std::uintptr_t{1} << (sizeof(std::uintptr_t) * 8 - 1);
    const bool ntFamily = (GetVersion() & 0x80000000u) == 0;
    return (address & kTopBit) != 0 && !ntFamily;
}

}  // namespace brenvik
