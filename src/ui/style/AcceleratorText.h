#pragma once
#include <string>

namespace brenvik {

// The text as drawn: a lone "&" marks the next character and is not shown,
// "&&" shows one ampersand.
std::string WithoutAccelerator(const std::string& text);
// The character a lone "&" marks, or 0 when there is none.
char AcceleratorChar(const std::string& text);

}  // namespace brenvik
