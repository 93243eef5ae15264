#pragma once
#include "base/Exception.h"
#include "platform/Win32ModulesList.h"

namespace brenvik {

// Raised when the program's own assumptions about its state do not hold.
class EAssertionFailed : public Exception {
public:
    using Exception::Exception;
};

// The modules list of the active crash-report facility; none while it is
// inactive. The facility's start-up sets it and its shutdown clears it.
Win32ModulesList* ActiveCrashModules();
void SetActiveCrashModules(Win32ModulesList* modules);

// The options of the module that holds the facility; raises EAssertionFailed
// while the facility is not active.
TCrashModuleOptionsEx& CurrentCrashLogOptions();

}  // namespace brenvik
