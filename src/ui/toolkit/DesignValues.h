#pragma once
#include <string>

#include "ui/canvas/Colors.h"
#include "ui/toolkit/Layout.h"

namespace brenvik {

// Property texts of stored designs; malformed values raise Exception.
TAlign ParseAlign(const std::string& text);      // "alNone", "alTop", "alBottom", "alClient"
unsigned ParseAnchors(const std::string& text);  // "akLeft,akTop,…"
TColor ParseColor(const std::string& text);      // "clBtnFace", "clWindow", … or a decimal value

}  // namespace brenvik
