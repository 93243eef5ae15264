#include "ui/toolkit/DesignValues.h"

#include <map>
#include <sstream>

#include "base/Exception.h"
#include "ui/toolkit/FormDesign.h"

namespace brenvik {

TAlign ParseAlign(const std::string& text) {
    static const std::map<std::string, TAlign> names = {{"alNone", TAlign::alNone},
                                                        {"alTop", TAlign::alTop},
                                                        {"alBottom", TAlign::alBottom},
                                                        {"alLeft", TAlign::alLeft},
                                                        {"alRight", TAlign::alRight},
                                                        {"alClient", TAlign::alClient}};
    auto it = names.find(text);
    if (it == names.end()) throw Exception("'" + text + "' is not a valid alignment");
    return it->second;
}

unsigned ParseAnchors(const std::string& text) {
    static const std::map<std::string, unsigned> names = {
        {"akLeft", akLeft}, {"akTop", akTop}, {"akRight", akRight}, {"akBottom", akBottom}};
    unsigned anchors = 0;
    std::stringstream parts(text);
    for (std::string part; std::getline(parts, part, ',');) {
        auto it = names.find(part);
        if (it == names.end()) throw Exception("'" + part + "' is not a valid anchor");
        anchors |= it->second;
    }
    return anchors;
}

TColor ParseColor(const std::string& text) {
    static const std::map<std::string, TColor> names = {
        {"clBlack", clBlack},         {"clWhite", clWhite},           {"clGray", clGray},
        {"clBlue", clBlue},           {"clBtnFace", clBtnFace},       {"clBtnShadow", clBtnShadow},
        {"clWindow", SystemColor(5)}, {"clInfoBk", SystemColor(24)},  {"clHighlight", clHighlight},
        {"clNone", clNone},
    };
    auto it = names.find(text);
    if (it != names.end()) return it->second;
    return static_cast<TColor>(ParseInt(text));
}

}  // namespace brenvik
