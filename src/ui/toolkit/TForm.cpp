#include "ui/toolkit/TForm.h"

#include <optional>

#include "base/Exception.h"
#include "ui/toolkit/Scaling.h"
#include "ui/toolkit/TApplication.h"
#include "ui/toolkit/TextLayoutReport.h"

namespace brenvik {

TForm::TForm(TComponent* owner, std::string className) : TWinControl(owner), className_(std::move(className)) {
    SetVisible(false);
    TApplication::Instance().FormCreated(this);
}

TForm::~TForm() {
    *link_ = nullptr;
    TApplication::Instance().FormDestroyed(this);
}

std::map<std::string, TForm::Factory>& TForm::Kinds() {
    static std::map<std::string, Factory> kinds;
    return kinds;
}

void TForm::RegisterKind(const std::string& kind, Factory factory) { Kinds()[kind] = std::move(factory); }

void TForm::LoadDesign(const FormDesign& design) {
    std::optional<DesignLoading> loading(std::in_place);
    fixups_.clear();
    for (const auto& entry : design) {
        if (entry.Name == Name) {
            for (const auto& property : entry.Properties) ApplyProperty(property, *this);
            continue;
        }
        auto kind = Kinds().find(entry.Kind);
        if (kind == Kinds().end()) throw Exception("Class " + entry.Kind + " not found");
        TComponent* component = kind->second(this);
        component->Name = entry.Name;
        // Non-visual components (a style controller) have no parent.
        if (auto* control = dynamic_cast<TControl*>(component)) {
            TWinControl* parent = this;
            if (!entry.Parent.empty() && entry.Parent != Name) {
                parent = dynamic_cast<TWinControl*>(FindComponent(entry.Parent));
                if (!parent) throw Exception(entry.Name + ": parent " + entry.Parent + " not found");
            }
            control->SetParent(parent);
        }
        for (const auto& property : entry.Properties) component->ApplyProperty(property, *this);
    }
    for (const auto& fixup : std::vector<std::function<void()>>(std::move(fixups_))) fixup();
    loading.reset();
    RealignTree();
    HandleNeeded();
}

void TForm::ResolveLater(std::function<void()> fixup) {
    if (DesignLoading::Active())
        fixups_.push_back(std::move(fixup));
    else
        fixup();
}

void TForm::AfterConstruction() {
    try {
        if (OnCreate) OnCreate(this);
    } catch (...) {
        TApplication::Instance().HandleException(std::current_exception());
    }
}

void TForm::BeforeDestruction() {
    if (OnDestroy) OnDestroy(this);
}

void TForm::RegisterHandler(const std::string& name, TNotifyEvent handler) { handlers_[name] = std::move(handler); }

TNotifyEvent TForm::HandlerNamed(const std::string& name) {
    return [this, name](TObject* sender) {
        auto it = handlers_.find(name);
        if (it == handlers_.end()) throw Exception("Handler " + name + " not found in " + Name);
        it->second(sender);
    };
}

void TForm::ApplyProperty(const DesignProperty& property, TForm& form) {
    const std::string& value = property.Value;
    if (property.Name == "ClientSize") {
        TRect size = ScaleToScreen(ParseBounds("0,0," + value));
        designClientSize_ = {size.Width(), size.Height()};
        SetClientSize(designClientSize_);
    } else if (property.Name == "Position") {
        centred_ = value == "poScreenCenter" || value == "poOwnerFormCenter";
    } else if (property.Name == "BorderStyle") {
        dialogBorder_ = value == "bsDialog";
    } else if (property.Name == "AlphaBlend") {
        SetAlphaBlend(ParseBool(value));
    } else if (property.Name == "AlphaBlendValue") {
        SetAlphaBlendValue(static_cast<std::uint8_t>(ParseInt(value)));
    } else if (property.Name == "OnCreate") {
        OnCreate = HandlerNamed(value);
    } else if (property.Name == "OnShow") {
        OnShow = HandlerNamed(value);
    } else if (property.Name == "OnHide") {
        OnHide = HandlerNamed(value);
    } else if (property.Name == "OnDestroy") {
        OnDestroy = HandlerNamed(value);
    } else if (property.Name == "OnClose") {
        OnClose = [handler = HandlerNamed(value)](TObject* sender, TCloseAction&) { handler(sender); };
    } else {
        TWinControl::ApplyProperty(property, form);
    }
}

TWinControl::CreateParams TForm::GetCreateParams() {
    CreateParams params;
    params.ClassName = std::wstring(className_.begin(), className_.end());  // class names are ASCII
    params.Style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN | (dialogBorder_ ? 0 : WS_MINIMIZEBOX);
    params.ExStyle = WS_EX_CONTROLPARENT | WS_EX_DLGMODALFRAME | (alphaBlend_ ? WS_EX_LAYERED : 0);
    return params;
}

void TForm::HandleCreated() {
    // Bounds set before the window existed were taken as its outer size.
    if (designClientSize_.Width > 0) SetClientSize(designClientSize_);
}

void TForm::Show() {
    HandleNeeded();
    if (centred_) {
        RECT work;
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        int left = work.left + (work.right - work.left - Width()) / 2;
        int top = work.top + (work.bottom - work.top - Height()) / 2;
        SetBounds({left, top, left + Width(), top + Height()});
        centred_ = false;  // only the first show centres
    }
    if (Visible() && IsWindowVisible(Handle())) return;
    if (OnShow) OnShow(this);
    // Shown and activated at once: a window already visible is not activated by showing it.
    ShowWindow(Handle(), SW_SHOW);
    SetVisible(true);
    if (GetActiveWindow() == Handle() && !IsChild(Handle(), GetFocus())) RestoreFocus();
}

void TForm::RestoreFocus() {
    HWND target = lastFocus_;
    if (!target || !IsChild(Handle(), target) || !IsWindowVisible(target) || !IsWindowEnabled(target))
        target = GetNextDlgTabItem(Handle(), nullptr, FALSE);
    if (target) ::SetFocus(target);
}

void TForm::Hide() {
    if (!Visible()) return;
    SetVisible(false);
    if (OnHide) OnHide(this);
}

void TForm::Close() {
    TCloseAction action = TCloseAction::caHide;
    if (OnClose) OnClose(this, action);
    if (action == TCloseAction::caNone) return;
    if (TApplication::Instance().MainForm() == this)
        TApplication::Instance().Terminate();
    else
        Hide();
}

void TForm::SetAlphaBlend(bool on) {
    alphaBlend_ = on;
    ApplyLayering();
}

void TForm::SetAlphaBlendValue(std::uint8_t value) {
    alphaBlendValue_ = value;
    ApplyLayering();
}

void TForm::ApplyLayering() {
    if (!HandleAllocated()) return;
    LONG_PTR style = GetWindowLongPtrW(Handle(), GWL_EXSTYLE);
    if (alphaBlend_) {
        SetWindowLongPtrW(Handle(), GWL_EXSTYLE, style | WS_EX_LAYERED);
        SetLayeredWindowAttributes(Handle(), 0, alphaBlendValue_, LWA_ALPHA);
    } else if (style & WS_EX_LAYERED) {
        SetWindowLongPtrW(Handle(), GWL_EXSTYLE, style & ~WS_EX_LAYERED);
        RedrawWindow(Handle(), nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
    }
}

LRESULT TForm::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (IsTextLayoutRequest(message)) {
        AnswerTextLayoutRequest(*this, reinterpret_cast<HWND>(wParam));
        return 1;
    }
    switch (message) {
    case WM_CLOSE:
        Close();
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
            HWND focus = GetFocus();
            if (IsChild(Handle(), focus)) lastFocus_ = focus;
        }
        break;  // the default activation focuses the form itself, which passes it on
    case WM_SETFOCUS:
        RestoreFocus();
        return 0;
    case WM_WINDOWPOSCHANGED: {
        // Keep the stored bounds in step with moves made by the user or the system.
        auto* position = reinterpret_cast<WINDOWPOS*>(lParam);
        if (!(position->flags & SWP_NOMOVE) || !(position->flags & SWP_NOSIZE)) {
            RECT window;
            GetWindowRect(Handle(), &window);
            TRect now{window.left, window.top, window.right, window.bottom};
            if (now != BoundsRect()) SetBoundsSilently(now);
        }
        break;
    }
    }
    return TWinControl::WndProc(message, wParam, lParam);
}

}  // namespace brenvik
