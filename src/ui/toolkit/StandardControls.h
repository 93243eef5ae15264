#pragma once
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

// A check box whose change event fires whenever the state changes, set by
// the user or by code.
class TCheckBox : public TWinControl {
public:
    using TWinControl::TWinControl;
    bool Checked() const { return checked_; }
    void SetChecked(bool checked);
    TNotifyEvent OnChange;
    void ApplyProperty(const DesignProperty& property, TForm& form) override;

protected:
    CreateParams GetCreateParams() override;
    // The system control takes the focus and toggles on its click.
    bool ClicksOnAccelerator() const override { return true; }
    void HandleCreated() override;
    void CommandNotify(WORD code) override;

private:
    bool checked_ = false;
};

// An integer edit with up/down arrows that keeps its value within bounds.
class TSpinEdit : public TWinControl {
public:
    using TWinControl::TWinControl;
    int MinValue = 0, MaxValue = 100;
    int Value() const;
    void SetValue(int value);
    void SetEnabled(bool enabled) override;
    void ApplyProperty(const DesignProperty& property, TForm& form) override;

protected:
    CreateParams GetCreateParams() override;
    void HandleCreated() override;
    void BoundsChanged() override;

private:
    int Clamp(int value) const;
    HWND spin_ = nullptr;
    int value_ = 0;
};

// An edit with a drop-down list of items; any text may be typed.
class TPickList : public TWinControl {
public:
    using TWinControl::TWinControl;
    void SetItems(const std::vector<std::string>& items);
    const std::vector<std::string>& Items() const { return items_; }

protected:
    CreateParams GetCreateParams() override;
    void HandleCreated() override;

private:
    std::vector<std::string> items_;
};

}  // namespace brenvik
