#pragma once
#include <string>

namespace brenvik {

// Ends the program with exit code 1; with `restart` a new process is started
// first with the same command line in the folder the program started in.
[[noreturn]] void EndProgram(bool restart, const std::string& startDirectory);

// Puts the report on the clipboard as text; false when the clipboard is busy.
bool CopyTextToClipboard(const std::string& text);

}  // namespace brenvik
