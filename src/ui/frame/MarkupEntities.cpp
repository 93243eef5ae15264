#include "ui/frame/MarkupEntities.h"

#include "ui/frame/MarkupTags.h"

namespace brenvik {
namespace {

struct Entity {
    std::string_view Name;
    std::string_view Text;  // Windows-1250
};

constexpr Entity kEntities[] = {
    {"&amp;", "&&"},     {"&quot;", "\""},     {"&sect;", "\xA7"},  {"&permil;", "\x89"}, {"&reg;", "\xAE"},
    {"&copy;", "\xA9"},  {"&para;", "\xB6"},   {"&trade;", "\x99"}, {"&euro;", "\x80"},
};

constexpr Entity kRunEntities[] = {{"&nbsp;", " "}, {"&lt;", "<"}, {"&gt;", ">"}};

}  // namespace

void ReplaceMarkupEntities(std::string& text) {
    if (text.find('&') == std::string::npos) return;
    for (bool replaced = true; replaced;) {
        replaced = false;
        for (const Entity& entity : kEntities) {
            size_t at = FindNoCase(text, entity.Name);
            if (at == std::string::npos) continue;
            text.replace(at, entity.Name.size(), entity.Text);
            replaced = true;
        }
    }
}

std::string ReplaceRunEntities(std::string_view run) {
    std::string result;
    result.reserve(run.size());
    for (size_t at = 0; at < run.size();) {
        bool matched = false;
        if (run[at] == '&') {
            for (const Entity& entity : kRunEntities) {
                if (run.substr(at, entity.Name.size()) == entity.Name) {
                    result += entity.Text;
                    at += entity.Name.size();
                    matched = true;
                    break;
                }
            }
        }
        if (!matched) result += run[at++];
    }
    return result;
}

}  // namespace brenvik
