#include "ui/style/TFlatPanel.h"

#include "ui/style/GdiStyle.h"

namespace brenvik {

TFlatPanel::TFlatPanel(TComponent* owner) : TPanel(owner) {
    ScreenColorDevice screen;
    Color = screen.Nearest(LightenByFraction(screen.ToRgb(clBtnFace), 3, 10));
}

void TFlatPanel::ApplyProperty(const DesignProperty& property, TForm& form) {
    if (property.Name == "BorderWidth")
        BorderWidth = ParseInt(property.Value);
    else
        TPanel::ApplyProperty(property, form);
}

void TFlatPanel::PaintBackground(Canvas& canvas) {
    TSize size = ClientSize();
    TRect client{0, 0, size.Width, size.Height};
    if (BorderWidth > 0) {
        canvas.SetBrushColor(clBtnFace);
        canvas.FillRect(client);
    }
    canvas.SetBrushColor(Color);
    canvas.FillRect(client.Inflated(-BorderWidth));
}

LRESULT TFlatPanel::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    // Right clicks on the children that do not want them arrive here too.
    if (message == WM_CONTEXTMENU && PopupMenu && PopupMenu->AutoPopup) {
        POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        if (at.x == -1 && at.y == -1) {  // from the keyboard: under the panel's corner
            at = {0, 0};
            ClientToScreen(Handle(), &at);
        }
        PopupMenu->PopupComponent = this;
        PopupMenu->Popup(at.x, at.y);
        return 0;
    }
    return TPanel::WndProc(message, wParam, lParam);
}

}  // namespace brenvik
