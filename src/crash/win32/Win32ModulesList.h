#pragma once
#include <windows.h>

#include <optional>
#include <string>

#include "crash/stack/CallStackEntry.h"

namespace brenvik {

// The modules loaded in the process, sorted by handle. Records added by a
// refresh are quick ones, completed on their first lookup; a record keeps
// its address for the life of the list, so call-stack entries may point at it.
// Not synchronised: the facility's own lock serialises reports.
class Win32ModulesList : public ModuleLocator {
public:
    // Starts with the full record of the module holding the facility.
    Win32ModulesList();

    const TCrashModulesList& Modules() const { return modules_; }

    // Drops records of modules no longer loaded and adds quick records of
    // new ones.
    void Refresh();

    // The full record of a loaded module, added when missing; none when its
    // file name cannot be obtained.
    const TCrashModuleInfo* ByHandle(HMODULE module);

    // The full record of the module that holds the address, or none.
    const TCrashModuleInfo* ModuleAt(CrashAddress address) override;

    // Call stack of the current process's memory: the entry of firstAddress
    // when given, then the calls found on the stack from stackPointer up to
    // stackTop.
    TCrashStackList BuildCallStack(std::optional<CrashAddress> firstAddress, CrashAddress stackPointer,
                                   CrashAddress stackTop);

    // Address of the first procedure of the facility's own module whose
    // qualified name ("unit.class.method") is exactly the one given.
    std::optional<CrashAddress> FindProcedureAddress(const std::string& qualifiedName);

private:
    TCrashModuleInfo* Find(CrashAddress handle);
    void Insert(std::unique_ptr<TCrashModuleInfo> record);

    TCrashModulesList modules_;
};

}  // namespace brenvik
