#include "platform/ShellOpen.h"

#include <windows.h>
#include <shellapi.h>

namespace brenvik {

void ShellOpenAddress(const std::string& address) {
    ShellExecuteA(nullptr, "open", address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace brenvik
