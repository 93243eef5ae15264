#pragma once
#include <windows.h>

#include <memory>

#include "serial/RegistryReader.h"

namespace brenvik {

// Read-only registry access below one root key (HKEY_LOCAL_MACHINE for ports).
std::unique_ptr<RegistryReader> OpenRegistryReader(HKEY root);

}  // namespace brenvik
