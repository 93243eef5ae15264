#pragma once
#include <string>

#include "crash/options/TCrashModuleOptions.h"
#include "crash/report/ReportFormat.h"
#include "crash/stack/CrashStackTypes.h"

namespace brenvik {

// The call-stack block: entries resolved at least to a procedure, innermost first.
std::string CallStackText(const TCrashStackList& stack, const TCrashModuleOptions& options,
                          int addressDigits = kAddressDigits);
// The modules block, in list order.
std::string ModulesText(const TCrashModulesList& modules, const TCrashModuleOptions& options,
                        int addressDigits = kAddressDigits);
// Both blocks with one empty line between them.
std::string CallStackAndModulesText(const TCrashStackList& stack, const TCrashModulesList& modules,
                                    const TCrashModuleOptions& options, int addressDigits = kAddressDigits);

}  // namespace brenvik
