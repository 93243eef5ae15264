#pragma once
#include <optional>
#include <vector>

#include "ui/toolkit/TForm.h"
#include "ui/toolkit/TWinControl.h"

namespace brenvik {

// Makes the controls below nameable in stored designs.
void RegisterStandardControls();

// A plain container window filled with its colour.
class TPanel : public TWinControl {
public:
    using TWinControl::TWinControl;
};

// A push button; a click copies its modal result into its form.
class TButton : public TWinControl {
public:
    using TWinControl::TWinControl;
    int ModalResult = mrNone;
    void Click() override;
    void ApplyProperty(const DesignProperty& property, TForm& form) override;

protected:
    CreateParams GetCreateParams() override;
    bool ClicksOnAccelerator() const override { return true; }
    void CommandNotify(WORD code) override;
};

class TEditStyleController;

// A data-entry widget: a native control kept for its keyboard and mouse
// behaviour, painted in the flat look of its style controller.
class TEntryControl : public TWinControl {
public:
    using TWinControl::TWinControl;
    // Not owned; null: the plain flat look.
    TEditStyleController* StyleController() const;
    void SetStyleController(TEditStyleController* controller) { styleController_ = controller; }
    void ApplyProperty(const DesignProperty& property, TForm& form) override;

protected:
    // The border as it is to be drawn now (hot under the mouse).
    TColor BorderColor() const;
    void MouseInControlChanged() override { RepaintLook(); }
    virtual void RepaintLook();

private:
    // A design may name a controller that its form creates later: it is
    // looked up by name when first needed.
    mutable TEditStyleController* styleController_ = nullptr;
    std::string styleControllerName_;
};

// A check box whose change event fires whenever the state changes, set by
// the user or by code. The native button does its keyboard and mouse work;
// its painting is replaced through custom draw by a flat box.
class TCheckBox : public TEntryControl {
public:
    using TEntryControl::TEntryControl;
    bool Checked() const { return checked_; }
    void SetChecked(bool checked);
    TNotifyEvent OnChange;
    void ApplyProperty(const DesignProperty& property, TForm& form) override;
    std::optional<TextRoom> MeasureText(Canvas& canvas) override;

protected:
    CreateParams GetCreateParams() override;
    // The system control takes the focus and toggles on its click.
    bool ClicksOnAccelerator() const override { return true; }
    void HandleCreated() override;
    void CommandNotify(WORD code) override;
    bool NotifyReflected(NMHDR& header, LRESULT& result) override;
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    struct Layout {
        TRect Box, Text;
    };
    Layout LayOut(Canvas& canvas);
    void PaintFlat(Canvas& canvas);
    bool checked_ = false;
};

// An integer edit with up/down arrows that keeps its value within bounds.
class TSpinEdit : public TEntryControl {
public:
    using TEntryControl::TEntryControl;
    ~TSpinEdit() override;
    int MinValue = 0, MaxValue = 100;
    int Value() const;
    void SetValue(int value);
    void SetEnabled(bool enabled) override;
    void ApplyProperty(const DesignProperty& property, TForm& form) override;
    // The room is the edit's text area; what it needs, the widest value.
    std::optional<TextRoom> MeasureText(Canvas& canvas) override;

protected:
    CreateParams GetCreateParams() override;
    void HandleCreated() override;
    void BoundsChanged() override;
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void RepaintLook() override;

private:
    static LRESULT CALLBACK ArrowsProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
    void PaintArrows(HDC dc);
    int Clamp(int value) const;
    HWND spin_ = nullptr;
    int value_ = 0;
};

// An edit with a drop-down list of items; any text may be typed.
class TPickList : public TEntryControl {
public:
    using TEntryControl::TEntryControl;
    void SetItems(const std::vector<std::string>& items);
    const std::vector<std::string>& Items() const { return items_; }
    std::optional<TextRoom> MeasureText(Canvas& canvas) override;

protected:
    CreateParams GetCreateParams() override;
    void HandleCreated() override;
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // Over the native painting: the flat border and drop button.
    void PaintFlat();
    std::vector<std::string> items_;
};

}  // namespace brenvik
