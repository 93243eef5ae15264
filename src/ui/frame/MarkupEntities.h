#pragma once
#include <string>
#include <string_view>

namespace brenvik {

// Replaces the named entities before layout, without regard to case: the
// first occurrence of each, the whole set again until nothing changes.
// "&amp;" becomes "&&" because text drawing reads a lone "&" as a prefix.
void ReplaceMarkupEntities(std::string& text);

// The three entities replaced within each text run, lower case only, so that
// a non-breaking space never ends a run.
std::string ReplaceRunEntities(std::string_view run);

}  // namespace brenvik
