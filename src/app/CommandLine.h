#pragma once
#include <string>
#include <vector>

namespace brenvik {

// Whether the arguments (program name excluded) ask to start hidden in the
// tray: one of them is "/" followed by "tray" in any letter case.
bool HasTraySwitch(const std::vector<std::string>& arguments);

}  // namespace brenvik
