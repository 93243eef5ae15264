#include "platform/Cp1250.h"

#include <windows.h>

namespace brenvik {
namespace {
constexpr UINT kCodePage1250 = 1250;
}

std::wstring WideFromCp1250(const std::string& text) {
    if (text.empty()) return {};
    int length = MultiByteToWideChar(kCodePage1250, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(kCodePage1250, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return wide;
}

std::string Cp1250FromWide(const std::wstring& text) {
    if (text.empty()) return {};
    int length = WideCharToMultiByte(kCodePage1250, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                     nullptr, nullptr);
    std::string narrow(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(kCodePage1250, 0, text.data(), static_cast<int>(text.size()), narrow.data(), length, nullptr,
                        nullptr);
    return narrow;
}

}  // namespace brenvik
