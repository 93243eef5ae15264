#pragma once
#include <array>
#include <string>

namespace brenvik {

inline constexpr int kCrashTextCount = 71;

// The built-in English captions and labels of the dialogs and the report,
// by text index.
const std::array<std::string, kCrashTextCount>& DefaultCrashTexts();

}  // namespace brenvik
