#pragma once
#include <windows.h>

#include <string>

namespace brenvik {

// Puts the report on the clipboard as 8-bit plain text (with its terminating
// zero) after emptying it. False when the clipboard stayed busy or the memory
// could not be had.
bool CopyReportToClipboard(const std::string& text);

}  // namespace brenvik
