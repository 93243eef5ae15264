#pragma once
#include <cstdint>
#include <string>

namespace brenvik {

// Builds the report's header block: numbered items grouped in sections, with
// their ": " separators lined up per section by GetText.
class TLogItem {
public:
    void Clear();
    void AddSection(const std::string& name);
    // The item keeps its number when it is left out, so "2.5" always means
    // the same line whatever the chosen items.
    void AddItem(const std::string& name, const std::string& value, bool include);
    std::string GetText() const;

private:
    std::string text_;
    std::int32_t section_ = 0;
    std::int32_t item_ = 0;
};

}  // namespace brenvik
