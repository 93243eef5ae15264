#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

#include "crash/debuginfo/ModuleDataBlock.h"
#include "crash/options/CrashOptionsEnvironment.h"
#include "crash/win32/Win32SharedSection.h"

namespace brenvik {

// A loaded module's full file name; empty when it cannot be had (or is too long).
std::string ModuleFileName(HMODULE module);

// The module that holds the crash-report facility's code.
HMODULE CrashFacilityModule();

// The bytes of a module's "CLDATA" raw-data resource; empty when it has none.
std::string_view FindCldataResource(HMODULE module);

// A module's data block: the resource, else the form appended to its file;
// then options the module published at run time, when it did.
TDataBlockStatus LoadModuleDataBlock(HMODULE module, TCrashModuleOptions& options, TModuleData& data);

// The facility's environment in this process: its own module, the published
// section of its options, and the watchdog switch (set by the watchdog).
class Win32CrashOptionsEnvironment : public CrashOptionsEnvironment {
public:
    Win32CrashOptionsEnvironment();

    bool IsOwnModule(const std::string& moduleFileName) const override;
    void PublishOptions(std::string_view block) override { section_.Publish(block); }
    bool IsOwnModuleOptions(const TCrashModuleOptions& options) const override { return &options == ownOptions_; }
    void RunFreezeWatchdog(bool run) override {
        if (freezeWatchdog_) freezeWatchdog_(run);
    }

    void SetOwnModuleOptions(const TCrashModuleOptions* options) { ownOptions_ = options; }
    void SetFreezeWatchdog(std::function<void(bool)> control) { freezeWatchdog_ = std::move(control); }

private:
    Win32SharedSection section_;
    const TCrashModuleOptions* ownOptions_ = nullptr;
    std::function<void(bool)> freezeWatchdog_;
};

}  // namespace brenvik
