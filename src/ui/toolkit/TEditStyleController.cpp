#include "ui/toolkit/TEditStyleController.h"

#include "ui/toolkit/DesignValues.h"
#include "ui/toolkit/FormDesign.h"

namespace brenvik {

void TEditStyleController::ApplyProperty(const DesignProperty& property, TForm& form) {
    if (property.Name == "BorderColor")
        BorderColor = ParseColor(property.Value);
    else if (property.Name == "HotColor")
        HotColor = ParseColor(property.Value);
    else if (property.Name == "HotTrack")
        HotTrack = ParseBool(property.Value);
    else
        TComponent::ApplyProperty(property, form);
}

const TEditStyleController& TEditStyleController::Plain() {
    static const TEditStyleController plain(nullptr);
    return plain;
}

}  // namespace brenvik
