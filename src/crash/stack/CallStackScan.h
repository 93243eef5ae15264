#pragma once
#include <optional>
#include <vector>

#include "crash/stack/CallStackEntry.h"
#include "crash/stack/ProcessMemory.h"

namespace brenvik {

// Code addresses of the calls whose return addresses lie on the stack
// between stackPointer and stackTop, innermost first. A stack word counts
// when the bytes just before the address it holds form a call instruction;
// a direct call also yields its target (after an import thunk) ahead of the
// call site, unless that target starts with a call itself.
std::vector<CrashAddress> FindCallSites(const ProcessMemory& memory, ModuleLocator& modules, CrashAddress stackPointer,
                                        CrashAddress stackTop, TCodeArchitecture architecture = kBuildArchitecture);

// The call stack: the entry of firstAddress (the faulting instruction) when
// given, then the entries of every call site found on the stack, whatever
// their kind.
TCrashStackList BuildCallStack(const ProcessMemory& memory, ModuleLocator& modules,
                               std::optional<CrashAddress> firstAddress, CrashAddress stackPointer,
                               CrashAddress stackTop, TCodeArchitecture architecture = kBuildArchitecture);

}  // namespace brenvik
