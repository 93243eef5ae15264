#pragma once
#include <string>
#include <string_view>

namespace brenvik {

class TCrashModuleOptions;

// What option objects need from the process they live in: which module is the
// facility's own, where changed options are published for other modules, and
// the freeze watchdog that the own module's options switch.
class CrashOptionsEnvironment {
public:
    virtual ~CrashOptionsEnvironment() = default;

    // True when the module the system knows by this file name is the facility's own.
    virtual bool IsOwnModule(const std::string& moduleFileName) const = 0;
    // Makes the block visible to the other modules of the process; a failure is silent.
    virtual void PublishOptions(std::string_view block) = 0;
    // True for the option object of the facility's own module.
    virtual bool IsOwnModuleOptions(const TCrashModuleOptions& options) const = 0;
    virtual void RunFreezeWatchdog(bool run) = 0;
};

}  // namespace brenvik
