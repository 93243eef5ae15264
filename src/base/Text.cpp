#include "base/Text.h"

namespace brenvik {
namespace {

unsigned char FoldCp1250(unsigned char c) {
    if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 32);
    switch (c) {
    case 0x8A: case 0x8C: case 0x8D: case 0x8E: case 0x8F:  // Š Ś Ť Ž Ź
        return static_cast<unsigned char>(c + 0x10);
    case 0xA3: return 0xB3;  // Ł
    case 0xA5: return 0xB9;  // Ą
    case 0xAA: return 0xBA;  // Ş
    case 0xAF: return 0xBF;  // Ż
    case 0xBC: return 0xBE;  // Ľ
    default: break;
    }
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<unsigned char>(c + 0x20);
    return c;
}

unsigned char FoldAscii(unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 32) : c;
}

template <unsigned char (*Fold)(unsigned char)>
bool EqualFolded(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (Fold(static_cast<unsigned char>(a[i])) != Fold(static_cast<unsigned char>(b[i]))) return false;
    return true;
}

}  // namespace

bool SameTextCp1250(std::string_view a, std::string_view b) { return EqualFolded<FoldCp1250>(a, b); }

bool SameTextAscii(std::string_view a, std::string_view b) { return EqualFolded<FoldAscii>(a, b); }

std::string FormatInts(std::string_view format, std::initializer_list<long long> values) {
    std::string result(format);
    size_t at = 0;
    for (long long value : values) {
        at = result.find("%d", at);
        if (at == std::string::npos) break;
        auto digits = std::to_string(value);
        result.replace(at, 2, digits);
        at += digits.size();
    }
    return result;
}

}  // namespace brenvik

namespace brenvik {

bool TryParseInt32(std::string_view text, int& value) {
    size_t at = 0;
    while (at < text.size() && text[at] == ' ') ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '-' || text[at] == '+')) negative = text[at++] == '-';
    int base = 10;
    if (at < text.size() && text[at] == '$') {
        base = 16;
        ++at;
    }
    if (at == text.size()) return false;
    long long magnitude = 0;
    for (; at < text.size(); ++at) {
        char c = text[at];
        int digit = (c >= '0' && c <= '9')                  ? c - '0'
                    : (base == 16 && c >= 'a' && c <= 'f') ? c - 'a' + 10
                    : (base == 16 && c >= 'A' && c <= 'F') ? c - 'A' + 10
                                                           : -1;
        if (digit < 0) return false;
        magnitude = magnitude * base + digit;
        if (magnitude > 0x80000000LL) return false;
    }
    if (!negative && magnitude > 0x7FFFFFFFLL) return false;
    value = static_cast<int>(negative ? -magnitude : magnitude);
    return true;
}

}  // namespace brenvik
