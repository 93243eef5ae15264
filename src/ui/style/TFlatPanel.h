#pragma once
#include "ui/toolkit/StandardControls.h"
#include "ui/toolkit/TPopupMenu.h"

namespace brenvik {

// A flat, borderless container a little lighter than the dialog face; a
// border width leaves a margin of the face colour around it.
class TFlatPanel : public TPanel {
public:
    explicit TFlatPanel(TComponent* owner);

    int BorderWidth = 0;
    TPopupMenu* PopupMenu = nullptr;  // shown on a right click; not owned

    void ApplyProperty(const DesignProperty& property, TForm& form) override;

protected:
    void PaintBackground(Canvas& canvas) override;
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

}  // namespace brenvik
