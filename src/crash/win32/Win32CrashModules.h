#pragma once
#include "base/Exception.h"
#include "crash/options/CrashOptionsEnvironment.h"
#include "crash/win32/Win32ModulesList.h"

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

// The environment the options of newly loaded module records belong to; none
// while the facility is inactive.
CrashOptionsEnvironment* ActiveCrashEnvironment();
void SetActiveCrashEnvironment(CrashOptionsEnvironment* environment);

// The options of the module that holds the facility; raises EAssertionFailed
// while the facility is not active.
TCrashModuleOptionsEx& CurrentCrashLogOptions();

}  // namespace brenvik
