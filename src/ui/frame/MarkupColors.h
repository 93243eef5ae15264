#pragma once
#include <string_view>

#include "ui/canvas/Colors.h"

namespace brenvik {

// A colour attribute: "#RRGGBB" in hexadecimal, otherwise a colour name
// looked up without regard to case; unknown names are black.
TColor ParseMarkupColor(std::string_view value);

}  // namespace brenvik
