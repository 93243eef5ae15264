#pragma once
#include <string>

namespace brenvik {

// Opens an address with the shell's "open" verb in a normal window.
void ShellOpenAddress(const std::string& address);

}  // namespace brenvik
