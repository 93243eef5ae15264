#pragma once
#include <string>

namespace brenvik {

// The program's texts are Windows-1250 whatever the system's ANSI code page,
// so they cross into windows through UTF-16 explicitly.
std::wstring WideFromCp1250(const std::string& text);
std::string Cp1250FromWide(const std::wstring& text);

}  // namespace brenvik
