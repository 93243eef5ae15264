#pragma once
#include "ui/toolkit/TForm.h"
#include "ui/toolkit/TPopupMenu.h"
#include "ui/toolkit/TWinControl.h"

namespace brenvik {

enum class TFlatButtonState { Up = 0, Disabled = 1, Pressed = 2 };

// A flat push button that paints all of itself: beige when the mouse is over
// it, darker while pressed, with a border and a focus frame. Its window is a
// system push button (so the dialog manager, accessibility tools and other
// programs find and click it as one) whose painting and input it takes over.
class TFlatButton : public TWinControl {
public:
    explicit TFlatButton(TComponent* owner);

    TColor ColorFocused = RGBColor(235, 234, 225);
    TColor ColorDown = RGBColor(217, 214, 197);
    TColor ColorBorder = RGBColor(160, 150, 131);
    TColor ColorShadow = clBlack;
    bool DisableBorder = false;
    int ModalResult = mrNone;
    TPopupMenu* PopupMenu = nullptr;  // not owned

    TFlatButtonState State() const { return state_; }
    bool Hot() const { return hot_; }
    bool Focused() const { return focused_; }
    bool Capturing() const { return capturing_; }

    // Shows the popup menu under the button, or stores the modal result in
    // the button's window (whatever it is) and runs the click event.
    void Click() override;
    // Paints the whole client area on the canvas, as it would show now.
    void Render(Canvas& canvas);
    std::optional<TextRoom> MeasureText(Canvas& canvas) override;

    void SetParent(TWinControl* parent) override;
    void SetCaption(const std::string& caption) override;
    void ApplyProperty(const DesignProperty& property, TForm& form) override;

protected:
    CreateParams GetCreateParams() override;
    bool ClicksOnAccelerator() const override { return true; }
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void Repaint();
    void SetState(TFlatButtonState state);
    bool Inside(LPARAM lParam) const;
    void MouseMoved(LPARAM lParam);
    void ButtonDown();
    void ButtonUp(LPARAM lParam);
    void PaintBuffered(HDC dc);
    TForm* ParentForm() const;

    TFlatButtonState state_ = TFlatButtonState::Up;
    bool hot_ = false;
    bool focused_ = false;
    bool capturing_ = false;
    bool mouseInside_ = false;  // entered and not yet left: moves alone do not make it hot again
};

}  // namespace brenvik
