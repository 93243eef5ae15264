#include "ui/toolkit/FormDesign.h"

#include <algorithm>
#include <sstream>

#include "base/Exception.h"
#include "base/Text.h"

namespace brenvik {

const std::string& ComponentDesign::Empty() {
    static const std::string empty;
    return empty;
}

const std::string& ComponentDesign::Property(const std::string& name, const std::string& fallback) const {
    for (const auto& property : Properties)
        if (property.Name == name) return property.Value;
    return fallback;
}

FormDesign MergeDesigns(const FormDesign& base, const FormDesign& changes) {
    FormDesign merged = base;
    for (const auto& change : changes) {
        auto inherited = std::find_if(merged.begin(), merged.end(),
                                      [&](const ComponentDesign& entry) { return entry.Name == change.Name; });
        if (inherited == merged.end()) {
            merged.push_back(change);
            continue;
        }
        if (!change.Parent.empty()) inherited->Parent = change.Parent;
        for (const auto& property : change.Properties) {
            auto existing = std::find_if(inherited->Properties.begin(), inherited->Properties.end(),
                                         [&](const DesignProperty& p) { return p.Name == property.Name; });
            if (existing != inherited->Properties.end())
                existing->Value = property.Value;
            else
                inherited->Properties.push_back(property);
        }
    }
    return merged;
}

int ParseInt(const std::string& text) {
    int value = 0;
    if (!TryParseInt32(text, value)) throw Exception("'" + text + "' is not a valid integer value");
    return value;
}

bool ParseBool(const std::string& text) {
    if (text == "True" || text == "true" || text == "1") return true;
    if (text == "False" || text == "false" || text == "0") return false;
    throw Exception("'" + text + "' is not a valid boolean value");
}

TRect ParseBounds(const std::string& text) {
    std::vector<int> numbers;
    std::stringstream parts(text);
    for (std::string part; std::getline(parts, part, ',');) numbers.push_back(ParseInt(part));
    if (numbers.size() != 4) throw Exception("'" + text + "' is not a valid bounds value");
    return {numbers[0], numbers[1], numbers[0] + numbers[2], numbers[1] + numbers[3]};
}

}  // namespace brenvik
