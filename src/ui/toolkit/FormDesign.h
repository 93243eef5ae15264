#pragma once
#include <string>
#include <vector>

#include "ui/canvas/Geometry.h"

namespace brenvik {

// One component of a stored form design. Every attribute is a named text
// property ("Bounds" = "left,top,width,height", "Align", "Anchors",
// "Caption", "Hint", "OnClick" = a handler name …) so that a derived form can
// change any of them by name.
struct DesignProperty {
    std::string Name;
    std::string Value;
};

struct ComponentDesign {
    std::string Kind;    // toolkit class, e.g. "TPanel"; empty in a change of an inherited component
    std::string Name;
    std::string Parent;  // empty: the form itself
    std::vector<DesignProperty> Properties;

    // The value of a property, or fallback when the design does not set it.
    const std::string& Property(const std::string& name, const std::string& fallback = Empty()) const;

private:
    static const std::string& Empty();
};

// Components in creation order; the entry named like the form (kind "form")
// holds the form's own properties.
using FormDesign = std::vector<ComponentDesign>;

// A derived form's design: entries whose name exists in the base change the
// inherited component (their properties replace or extend the base's);
// other entries add components after the inherited ones.
FormDesign MergeDesigns(const FormDesign& base, const FormDesign& changes);

// Parsers for property texts; they throw Exception on malformed values, so
// a broken design fails when the form is built, not later.
TRect ParseBounds(const std::string& text);  // "l,t,w,h" → rectangle
bool ParseBool(const std::string& text);
int ParseInt(const std::string& text);

}  // namespace brenvik
