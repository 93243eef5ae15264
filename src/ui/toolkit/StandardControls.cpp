#include "ui/toolkit/StandardControls.h"

#include <commctrl.h>

#include "base/Text.h"
#include "platform/Cp1250.h"

namespace brenvik {

void RegisterStandardControls() {
    TForm::RegisterKind("TPanel", [](TComponent* owner) { return new TPanel(owner); });
    TForm::RegisterKind("TButton", [](TComponent* owner) { return new TButton(owner); });
    TForm::RegisterKind("TCheckBox", [](TComponent* owner) { return new TCheckBox(owner); });
    TForm::RegisterKind("TSpinEdit", [](TComponent* owner) { return new TSpinEdit(owner); });
    TForm::RegisterKind("TPickList", [](TComponent* owner) { return new TPickList(owner); });
}

TWinControl::CreateParams TButton::GetCreateParams() { return NativeControlParams(WC_BUTTONW, BS_PUSHBUTTON | WS_TABSTOP); }

void TButton::Click() {
    if (TForm* form = OwnerForm(); form && ModalResult != mrNone) form->ModalResult = ModalResult;
    TWinControl::Click();
}

void TButton::CommandNotify(WORD code) {
    if (code == BN_CLICKED) Click();
}

void TButton::ApplyProperty(const DesignProperty& property, TForm& form) {
    if (property.Name == "ModalResult")
        ModalResult = ParseInt(property.Value);
    else
        TWinControl::ApplyProperty(property, form);
}

TWinControl::CreateParams TCheckBox::GetCreateParams() { return NativeControlParams(WC_BUTTONW, BS_CHECKBOX | WS_TABSTOP); }

void TCheckBox::HandleCreated() { SendMessageW(Handle(), BM_SETCHECK, checked_ ? BST_CHECKED : BST_UNCHECKED, 0); }

void TCheckBox::SetChecked(bool checked) {
    if (checked == checked_) return;
    checked_ = checked;
    if (HandleAllocated()) SendMessageW(Handle(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    if (OnChange) OnChange(this);
}

void TCheckBox::CommandNotify(WORD code) {
    if (code != BN_CLICKED) return;
    SetChecked(!checked_);
    Click();
}

void TCheckBox::ApplyProperty(const DesignProperty& property, TForm& form) {
    // While the design loads, the state is set without raising the change event.
    if (property.Name == "Checked") {
        checked_ = ParseBool(property.Value);
        if (HandleAllocated()) HandleCreated();
    } else if (property.Name == "OnChange") {
        OnChange = form.HandlerNamed(property.Value);
    } else {
        TWinControl::ApplyProperty(property, form);
    }
}

TWinControl::CreateParams TSpinEdit::GetCreateParams() { return NativeControlParams(WC_EDITW, ES_NUMBER | WS_BORDER | WS_TABSTOP); }

int TSpinEdit::Clamp(int value) const { return value < MinValue ? MinValue : value > MaxValue ? MaxValue : value; }

void TSpinEdit::HandleCreated() {
    spin_ = CreateWindowExW(0, UPDOWN_CLASSW, nullptr,
                            WS_CHILD | WS_VISIBLE | UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS | UDS_NOTHOUSANDS,
                            0, 0, 0, 0, GetParent(Handle()), nullptr, GetModuleHandleW(nullptr), nullptr);
    SendMessageW(spin_, UDM_SETBUDDY, reinterpret_cast<WPARAM>(Handle()), 0);
    SendMessageW(spin_, UDM_SETRANGE32, MinValue, MaxValue);
    SendMessageW(spin_, UDM_SETPOS32, 0, value_);
    EnableWindow(spin_, Enabled());
}

void TSpinEdit::BoundsChanged() {
    TWinControl::BoundsChanged();
    if (spin_) SendMessageW(spin_, UDM_SETBUDDY, reinterpret_cast<WPARAM>(Handle()), 0);
}

int TSpinEdit::Value() const {
    if (!HandleAllocated()) return value_;
    int typed = 0;
    return TryParseInt32(Caption(), typed) ? Clamp(typed) : MinValue;
}

void TSpinEdit::SetValue(int value) {
    value_ = Clamp(value);
    if (spin_) SendMessageW(spin_, UDM_SETPOS32, 0, value_);
}

void TSpinEdit::SetEnabled(bool enabled) {
    TWinControl::SetEnabled(enabled);
    if (spin_) EnableWindow(spin_, enabled);
}

void TSpinEdit::ApplyProperty(const DesignProperty& property, TForm& form) {
    if (property.Name == "MinValue")
        MinValue = ParseInt(property.Value);
    else if (property.Name == "MaxValue")
        MaxValue = ParseInt(property.Value);
    else if (property.Name == "Value")
        SetValue(ParseInt(property.Value));
    else
        TWinControl::ApplyProperty(property, form);
}

TWinControl::CreateParams TPickList::GetCreateParams() { return NativeControlParams(WC_COMBOBOXW, CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP); }

void TPickList::SetItems(const std::vector<std::string>& items) {
    items_ = items;
    if (HandleAllocated()) HandleCreated();
}

void TPickList::HandleCreated() {
    std::string text = Caption();
    SendMessageW(Handle(), CB_RESETCONTENT, 0, 0);
    for (const auto& item : items_)
        SendMessageW(Handle(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(WideFromCp1250(item).c_str()));
    SetWindowTextW(Handle(), WideFromCp1250(text).c_str());
}

}  // namespace brenvik
