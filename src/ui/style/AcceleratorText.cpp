#include "ui/style/AcceleratorText.h"

namespace brenvik {

std::string WithoutAccelerator(const std::string& text) {
    std::string shown;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size()) ++i;
        else if (text[i] == '&') continue;
        shown += text[i];
    }
    return shown;
}

char AcceleratorChar(const std::string& text) {
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '&') continue;
        if (text[i + 1] != '&') return text[i + 1];
        ++i;
    }
    return 0;
}

}  // namespace brenvik
