#include "app/CommandLine.h"

#include "base/Text.h"

namespace brenvik {

bool HasTraySwitch(const std::vector<std::string>& arguments) {
    for (const auto& argument : arguments)
        if (!argument.empty() && argument[0] == '/' && SameTextCp1250(argument.substr(1), "tray")) return true;
    return false;
}

}  // namespace brenvik
