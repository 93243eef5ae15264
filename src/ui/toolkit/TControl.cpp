#include "ui/toolkit/TControl.h"

#include "base/Exception.h"
#include "platform/Cp1250.h"
#include "ui/style/AcceleratorText.h"
#include "ui/toolkit/DesignValues.h"
#include "ui/toolkit/Scaling.h"
#include "ui/toolkit/TApplication.h"
#include "ui/toolkit/TForm.h"
#include "ui/toolkit/TWinControl.h"

namespace brenvik {

TControl::TControl(TComponent* owner) : TComponent(owner) {}

TControl::~TControl() {
    TApplication::Instance().ControlDestroyed(this);
    if (parent_) parent_->RemoveControl(this);
}

void TControl::SetMouseInControl(bool inside) {
    if (inside == mouseInControl_) return;
    mouseInControl_ = inside;
    MouseInControlChanged();
}

void TControl::SetParent(TWinControl* parent) {
    if (parent == parent_) return;
    if (parent_) parent_->RemoveControl(this);
    parent_ = parent;
    if (parent_) parent_->InsertControl(this);
    FollowParentFont();
}

void TControl::FollowParentFont() {
    if (!ParentFont || !parent_ || parent_->Font() == font_) return;
    font_ = parent_->Font();
    FontChanged();
}

void TControl::SetFont(const TFontSpec& font) {
    ParentFont = false;
    if (font == font_) return;
    font_ = font;
    FontChanged();
}

void TControl::SetBounds(const TRect& bounds) {
    if (bounds == bounds_) return;
    Invalidate();
    bounds_ = bounds;
    BoundsChanged();
    Invalidate();
    if (parent_ && align_ != TAlign::alNone) parent_->Realign();
}

void TControl::SetAlign(TAlign align) {
    align_ = align;
    if (parent_) parent_->Realign();
}

void TControl::SetVisible(bool visible) {
    if (visible == visible_) return;
    visible_ = visible;
    Invalidate();
    if (parent_) {
        parent_->Invalidate();
        if (align_ != TAlign::alNone) parent_->Realign();
    }
}

void TControl::SetEnabled(bool enabled) {
    enabled_ = enabled;
    Invalidate();
}

void TControl::SetCaption(const std::string& caption) {
    caption_ = caption;
    Invalidate();
}

void TControl::Invalidate() {
    if (!parent_ || !parent_->HandleAllocated()) return;
    TRect r = bounds_;
    RECT area{r.Left, r.Top, r.Right, r.Bottom};
    InvalidateRect(parent_->Handle(), &area, TRUE);
}

TForm* TControl::OwnerForm() const {
    for (TComponent* owner = Owner(); owner; owner = owner->Owner())
        if (auto* form = dynamic_cast<TForm*>(owner)) return form;
    return nullptr;
}

void TControl::Click() {
    if (OnClick) OnClick(this);
}

bool TControl::IsAccelerator(wchar_t key) const {
    char marked = AcceleratorChar(Caption());
    if (!marked || !key) return false;
    std::wstring pair = WideFromCp1250(std::string(1, marked)) + key;
    CharUpperBuffW(pair.data(), static_cast<DWORD>(pair.size()));
    return pair.size() == 2 && pair[0] == pair[1];
}

void TControl::ApplyProperty(const DesignProperty& property, TForm& form) {
    const std::string& value = property.Value;
    if (property.Name == "Bounds") {
        SetBounds(ScaleToScreen(ParseBounds(value)));
    } else if (property.Name == "Align") {
        SetAlign(ParseAlign(value));
    } else if (property.Name == "Anchors") {
        Anchors = ParseAnchors(value);
    } else if (property.Name == "Visible") {
        SetVisible(ParseBool(value));
    } else if (property.Name == "Enabled") {
        SetEnabled(ParseBool(value));
    } else if (property.Name == "Caption") {
        SetCaption(value);
    } else if (property.Name == "Hint") {
        Hint = value;
    } else if (property.Name == "Color") {
        Color = ParseColor(value);
    } else if (property.Name == "Cursor") {
        Cursor = value == "crHandPoint" ? 32649 : 0;  // IDC_HAND
    } else if (property.Name == "FontName" || property.Name == "FontHeight" || property.Name == "FontStyle") {
        TFontSpec font = font_;
        if (property.Name == "FontName")
            font.Name = value;
        else if (property.Name == "FontHeight")  // pixels at 96 per inch; the canvas scales them
            font.Height = ParseInt(value);
        else
            font.Style = value == "fsBold" ? unsigned{fsBold} : 0u;
        SetFont(font);
    } else if (property.Name == "ParentFont") {
        ParentFont = ParseBool(value);
        FollowParentFont();
    } else if (property.Name == "OnClick") {
        OnClick = form.HandlerNamed(value);
    } else {
        TComponent::ApplyProperty(property, form);
    }
}

}  // namespace brenvik
