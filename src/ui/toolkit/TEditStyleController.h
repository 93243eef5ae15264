#pragma once
#include "ui/canvas/Colors.h"
#include "ui/toolkit/TComponent.h"

namespace brenvik {

// The look the data-entry widgets of a window share: one flat border in
// BorderColor instead of the sunken 3-D edge, and with HotTrack the border
// in HotColor while the mouse is over the widget. Widgets without a
// controller look as one with these defaults would make them.
class TEditStyleController : public TComponent {
public:
    using TComponent::TComponent;
    TColor BorderColor = clBtnShadow;
    TColor HotColor = clHighlight;
    bool HotTrack = true;

    TColor Border(bool mouseInControl) const { return HotTrack && mouseInControl ? HotColor : BorderColor; }
    void ApplyProperty(const DesignProperty& property, TForm& form) override;

    // The defaults, for widgets that name no controller.
    static const TEditStyleController& Plain();
};

}  // namespace brenvik
