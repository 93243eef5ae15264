#pragma once
#include <string>

namespace brenvik {

// Ends the program with exit code 1; with `restart` a new process is started
// first with the same command line in the folder the program started in.
[[noreturn]] void EndProgram(bool restart, const std::string& startDirectory);

}  // namespace brenvik
