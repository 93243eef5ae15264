#include "ui/toolkit/TextWrap.h"

#include <sstream>

namespace brenvik {
namespace {

std::vector<std::string> Paragraphs(const std::string& text) {
    std::vector<std::string> paragraphs;
    std::string current;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            paragraphs.push_back(current);
            current.clear();
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            current.push_back(text[i]);
        }
    }
    paragraphs.push_back(current);
    return paragraphs;
}

}  // namespace

std::vector<std::string> WrapText(const std::string& text, int width,
                                  const std::function<int(const std::string&)>& measure) {
    std::vector<std::string> lines;
    for (const auto& paragraph : Paragraphs(text)) {
        std::string line;
        std::istringstream words(paragraph);
        for (std::string word; words >> word;) {
            std::string candidate = line.empty() ? word : line + " " + word;
            if (line.empty() || measure(candidate) <= width) {
                line = candidate;
            } else {
                lines.push_back(line);
                line = word;
            }
        }
        lines.push_back(line);
    }
    return lines;
}

}  // namespace brenvik
