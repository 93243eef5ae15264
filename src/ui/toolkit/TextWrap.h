#pragma once
#include <functional>
#include <string>
#include <vector>

namespace brenvik {

// Breaks text into lines no wider than width at spaces and line breaks; a
// word wider than the width stands alone on its line. measure gives the
// width of a piece of text.
std::vector<std::string> WrapText(const std::string& text, int width,
                                  const std::function<int(const std::string&)>& measure);

}  // namespace brenvik
