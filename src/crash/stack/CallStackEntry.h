#pragma once
#include "crash/stack/CrashStackTypes.h"

namespace brenvik {

// Which loaded module holds an address; records it hands out stay valid for
// the life of a call stack.
class ModuleLocator {
public:
    virtual ~ModuleLocator() = default;
    virtual const TCrashModuleInfo* ModuleAt(CrashAddress address) = 0;
};

// The entry for a code address: the module's debug information first (its
// lines, then its procedure records for code without lines), then
// its exports, else the module alone (or nothing, outside every module).
TCrashDebugInfo DescribeCodeAddress(const TCrashModuleInfo* module, CrashAddress address);

}  // namespace brenvik
