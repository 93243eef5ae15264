#pragma once
#include <windows.h>

#include <memory>

#include "crash/stack/CrashStackTypes.h"

namespace brenvik {

// A module's record in quick mode: handle and file name only, Kind 0, to be
// completed on its first lookup. None when the file name cannot be obtained.
std::unique_ptr<TCrashModuleInfo> QuickModuleInfo(HMODULE module);

// A module's full record: version resource, file size, exports, kind,
// options and debug information from its data block. None when the file
// name cannot be obtained.
std::unique_ptr<TCrashModuleInfo> LoadModuleInfo(HMODULE module);

}  // namespace brenvik
