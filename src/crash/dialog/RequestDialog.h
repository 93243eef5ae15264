#pragma once
#include <windows.h>

#include <string>

#include "crash/options/TCrashModuleOptions.h"

namespace brenvik {

// Whether the request dialog is wanted for this report: the options ask
// for the steps, the program is an interactive windowed one, the report is
// not a skipped duplicate, and it will be mailed or logged.
bool RequestDialogWanted(const TCrashModuleOptions& options, bool interactiveProgram, bool duplicate);

// The typed answer without leading and trailing blanks and control characters.
std::string TrimRequestText(const std::string& text);

// Asks the user for the steps that led to the error, when wanted, in a modal
// dialog without owner. OK, Escape and the close box all keep what was typed.
// Returns the trimmed answer; empty when the dialog was not wanted or could
// not be created. The caller hands it to WriteCrashLog, which adds it to the
// report and mail texts.
std::string ShowRequestDialog(const TCrashModuleOptions& options, bool interactiveProgram, bool duplicate,
                              HINSTANCE resourceModule = nullptr);

}  // namespace brenvik
