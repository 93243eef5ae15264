#include "crash/win32/Win32CrashModules.h"

#include <atomic>

#include "crash/win32/Win32CrashModule.h"

namespace brenvik {

namespace {
std::atomic<Win32ModulesList*> activeModules{nullptr};
std::atomic<CrashOptionsEnvironment*> activeEnvironment{nullptr};
}  // namespace

Win32ModulesList* ActiveCrashModules() { return activeModules.load(); }

void SetActiveCrashModules(Win32ModulesList* modules) { activeModules.store(modules); }

CrashOptionsEnvironment* ActiveCrashEnvironment() { return activeEnvironment.load(); }

void SetActiveCrashEnvironment(CrashOptionsEnvironment* environment) { activeEnvironment.store(environment); }

TCrashModuleOptionsEx& CurrentCrashLogOptions() {
    Win32ModulesList* modules = ActiveCrashModules();
    const TCrashModuleInfo* own = modules ? modules->ByHandle(CrashFacilityModule()) : nullptr;
    if (!own || !own->Options)
        throw EAssertionFailed("Cannot use 'CurrentCrashLogOptions' function without Crashlog activate.");
    return *own->Options;
}

}  // namespace brenvik
