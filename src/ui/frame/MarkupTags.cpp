#include "ui/frame/MarkupTags.h"

#include <algorithm>
#include <cstring>

namespace brenvik {
namespace {

char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }
char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

// Larger values make no sensible pixel size and would overflow the scaling.
constexpr int kLargestNumber = 100000;

}  // namespace

std::string UpperAscii(std::string_view text) {
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(), Upper);
    return result;
}

std::string LowerAscii(std::string_view text) {
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(), Lower);
    return result;
}

size_t FindNoCase(std::string_view haystack, std::string_view needle, size_t from) {
    if (needle.empty()) return from <= haystack.size() ? from : std::string_view::npos;
    char first = needle[0];
    bool caseless = Upper(first) == Lower(first);  // memchr finds candidates for a non-letter
    for (size_t at = from; at + needle.size() <= haystack.size(); ++at) {
        if (caseless) {
            const void* next = std::memchr(haystack.data() + at, first, haystack.size() - needle.size() + 1 - at);
            if (!next) break;
            at = static_cast<size_t>(static_cast<const char*>(next) - haystack.data());
        }
        size_t i = 0;
        while (i < needle.size() && Upper(haystack[at + i]) == Upper(needle[i])) ++i;
        if (i == needle.size()) return at;
    }
    return std::string_view::npos;
}

std::optional<std::string> QuotedValueAfter(std::string_view tag, size_t from) {
    size_t open = tag.find('"', from);
    if (open == std::string_view::npos) return std::nullopt;
    size_t close = tag.find('"', open + 1);
    if (close == std::string_view::npos) return std::nullopt;
    return std::string(tag.substr(open + 1, close - open - 1));
}

std::optional<std::string> AttributeValue(std::string_view tag, std::string_view name) {
    size_t at = FindNoCase(tag, name);
    if (at == std::string_view::npos) return std::nullopt;
    return QuotedValueAfter(tag, at + name.size());
}

std::optional<int> LeadingNumber(std::string_view text) {
    long long value = 0;
    size_t digits = 0;
    while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9') {
        value = value * 10 + (text[digits] - '0');
        if (value > kLargestNumber) return std::nullopt;
        ++digits;
    }
    if (digits == 0) return std::nullopt;
    return static_cast<int>(value);
}

std::optional<int> FontSizeAttribute(std::string_view tag) {
    size_t at = FindNoCase(tag, "SIZE");
    if (at == std::string_view::npos) return std::nullopt;
    size_t equals = tag.find('=', at + 4);
    if (equals == std::string_view::npos) return std::nullopt;
    // Blanks may stand around the equals sign, quoted or not.
    size_t digits = tag.find_first_not_of(' ', equals + 1);
    if (digits == std::string_view::npos) return std::nullopt;
    if (tag[digits] == '"') ++digits;
    auto number = LeadingNumber(tag.substr(digits));
    if (!number || *number == 0) return std::nullopt;
    static constexpr int kSteps[] = {8, 10, 12, 14, 16};
    return *number <= 5 ? kSteps[*number - 1] : *number;
}

}  // namespace brenvik
