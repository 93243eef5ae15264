#include "ui/toolkit/TWinControl.h"

#include <commctrl.h>

#include <algorithm>
#include <set>

#include "base/Exception.h"
#include "platform/Cp1250.h"
#include "platform/GdiCanvas.h"
#include "platform/GdiFonts.h"
#include "ui/toolkit/TApplication.h"
#include "ui/toolkit/TForm.h"

namespace brenvik {
namespace {

const wchar_t kOwnClass[] = L"BrenvikControl";
const wchar_t kControlProperty[] = L"BrenvikControl";  // window property pointing at the control

void RegisterOwnClass(const std::wstring& name, WNDPROC procedure) {
    static std::set<std::wstring> registered;
    if (!registered.insert(name).second) return;
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.lpszClassName = name.c_str();
    RegisterClassExW(&windowClass);
}

TPoint PointOf(LPARAM lParam) {
    return {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}

}  // namespace

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {}

TWinControl::~TWinControl() {
    while (!controls_.empty()) controls_.back()->SetParent(nullptr);
    if (background_) DeleteObject(background_);
    if (handle_) {
        if (subclassed_) RemoveWindowSubclass(handle_, SubclassProc, 0);
        SetWindowLongPtrW(handle_, GWLP_USERDATA, 0);
        DestroyWindow(handle_);
    }
}

TWinControl* TWinControl::FromHandle(HWND window) {
    return window ? static_cast<TWinControl*>(GetPropW(window, kControlProperty)) : nullptr;
}

TWinControl::CreateParams TWinControl::NativeControlParams(const wchar_t* className, DWORD style) {
    CreateParams params;
    params.ClassName = className;
    params.NativeClass = true;
    params.Style |= style;
    params.ExStyle = 0;
    return params;
}

TWinControl::CreateParams TWinControl::GetCreateParams() { return {}; }

void TWinControl::HandleNeeded() {
    if (!handle_) CreateWindowHandle();
}

void TWinControl::CreateWindowHandle() {
    HWND parentWindow = nullptr;
    if (Parent()) {
        Parent()->HandleNeeded();
        parentWindow = Parent()->Handle();
    }
    CreateParams params = GetCreateParams();
    if (Visible()) params.Style |= WS_VISIBLE;
    if (!Enabled()) params.Style |= WS_DISABLED;
    if (params.ClassName.empty()) params.ClassName = kOwnClass;
    if (!params.NativeClass) RegisterOwnClass(params.ClassName, OwnWindowProc);
    const TRect& r = BoundsRect();
    handle_ = CreateWindowExW(params.ExStyle, params.ClassName.c_str(),
                              WideFromCp1250(TControl::Caption()).c_str(), params.Style, r.Left, r.Top, r.Width(),
                              r.Height(), parentWindow, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!handle_) throw Exception("Error creating window of " + Name);
    SetPropW(handle_, kControlProperty, this);
    if (params.NativeClass) {
        subclassed_ = SetWindowSubclass(handle_, SubclassProc, 0, 0) != FALSE;
        SendMessageW(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(ScreenFont(Font())), FALSE);
    }
    RECT client;
    GetClientRect(handle_, &client);
    clientSize_ = {client.right, client.bottom};
    HandleCreated();
    std::vector<TControl*> children = controls_;
    std::stable_sort(children.begin(), children.end(), [](TControl* a, TControl* b) {
        auto order = [](TControl* c) { return c->IsWindowed() ? static_cast<TWinControl*>(c)->TabOrder : -1; };
        return order(a) < order(b);
    });
    for (TControl* child : children)
        if (child->IsWindowed()) static_cast<TWinControl*>(child)->HandleNeeded();
    Realign();
}

void TWinControl::InsertControl(TControl* control) {
    controls_.push_back(control);
    if (handle_ && control->IsWindowed()) static_cast<TWinControl*>(control)->HandleNeeded();
    control->Invalidate();
}

void TWinControl::RemoveControl(TControl* control) {
    if (mouseControl_ == control) mouseControl_ = nullptr;
    control->Invalidate();
    controls_.erase(std::remove(controls_.begin(), controls_.end(), control), controls_.end());
}

void TWinControl::SetClientSize(TSize size) {
    if (!handle_) {
        SetBounds({Left(), Top(), Left() + size.Width, Top() + size.Height});
        clientSize_ = size;
        return;
    }
    RECT window, client;
    GetWindowRect(handle_, &window);
    GetClientRect(handle_, &client);
    SetBounds({Left(), Top(), Left() + size.Width + (window.right - window.left - client.right),
               Top() + size.Height + (window.bottom - window.top - client.bottom)});
}

void TWinControl::Realign() {
    if (DesignLoading::Active()) return;
    std::vector<LayoutItem> items;
    for (TControl* child : controls_) items.push_back({child->Align(), child->Anchors, child->Visible(), child->BoundsRect()});
    AlignItems(items, {0, 0, clientSize_.Width, clientSize_.Height});
    for (size_t i = 0; i < controls_.size(); ++i)
        if (controls_[i]->Align() != TAlign::alNone && controls_[i]->BoundsRect() != items[i].Bounds)
            controls_[i]->SetBounds(items[i].Bounds);
}

void TWinControl::RealignTree() {
    Realign();
    for (TControl* child : controls_)
        if (child->IsWindowed()) static_cast<TWinControl*>(child)->RealignTree();
}

TControl* TWinControl::ControlAtPos(TPoint point) {
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
        TControl* child = *it;
        if (!child->Visible() || !child->BoundsRect().Contains(point)) continue;
        if (!child->IsWindowed()) return child;
        TPoint inner{point.X - child->Left(), point.Y - child->Top()};
        return static_cast<TWinControl*>(child)->ControlAtPos(inner);
    }
    return this;
}

void TWinControl::BoundsChanged() {
    if (!handle_) {
        clientSize_ = {Width(), Height()};
        return;
    }
    const TRect& r = BoundsRect();
    MoveWindow(handle_, r.Left, r.Top, r.Width(), r.Height(), TRUE);
}

bool TWinControl::CanFocus() const {
    if (!handle_) return false;
    for (const TControl* control = this; control; control = control->Parent())
        if (!control->Visible() || !control->Enabled()) return false;
    return true;
}

void TWinControl::SetFocus() {
    if (CanFocus()) ::SetFocus(handle_);
}

bool TWinControl::DialogChar(wchar_t key) {
    if (ClicksOnAccelerator() && IsAccelerator(key) && CanFocus()) {
        SendMessageW(handle_, BM_CLICK, 0, 0);
        return true;
    }
    for (TControl* child : controls_)
        if (child->Visible() && child->Enabled() && child->DialogChar(key)) return true;
    return false;
}

void TWinControl::FontChanged() {
    TControl::FontChanged();
    if (handle_ && subclassed_) SendMessageW(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(ScreenFont(Font())), TRUE);
    for (TControl* child : controls_) child->FollowParentFont();
}

void TWinControl::SetVisible(bool visible) {
    TControl::SetVisible(visible);
    if (handle_) ShowWindow(handle_, visible ? SW_SHOWNA : SW_HIDE);
}

void TWinControl::SetEnabled(bool enabled) {
    TControl::SetEnabled(enabled);
    if (handle_) EnableWindow(handle_, enabled);
}

std::string TWinControl::Caption() const {
    if (!handle_) return TControl::Caption();
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(handle_)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(handle_, text.data(), static_cast<int>(text.size()))));
    return Cp1250FromWide(text);
}

void TWinControl::SetCaption(const std::string& caption) {
    TControl::SetCaption(caption);
    if (handle_) SetWindowTextW(handle_, WideFromCp1250(caption).c_str());
}

void TWinControl::ApplyProperty(const DesignProperty& property, TForm& form) {
    if (property.Name == "TabOrder")
        TabOrder = ParseInt(property.Value);
    else
        TControl::ApplyProperty(property, form);
}

void TWinControl::TrackMouse(TPoint point) {
    TControl* under = nullptr;
    for (auto it = controls_.rbegin(); it != controls_.rend() && !under; ++it)
        if (!(*it)->IsWindowed() && (*it)->Visible() && (*it)->BoundsRect().Contains(point)) under = *it;
    if (under != mouseControl_ && mouseControl_) mouseControl_->MouseLeave();
    mouseControl_ = under;
    if (under) {
        under->MouseMove({point.X - under->Left(), point.Y - under->Top()});
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, handle_, 0};
        TrackMouseEvent(&track);
    }
}

void TWinControl::PaintBackground(Canvas& canvas) {
    canvas.SetBrushColor(Color);
    canvas.FillRect({0, 0, clientSize_.Width, clientSize_.Height});
}

void TWinControl::PaintWindow(HDC dc) {
    GdiCanvas canvas(dc);
    PaintBackground(canvas);
    for (TControl* child : controls_) {
        if (child->IsWindowed() || !child->Visible()) continue;
        const TRect& r = child->BoundsRect();
        canvas.PushClipRect(r);
        canvas.SetOrigin({r.Left, r.Top});
        child->Paint(canvas);
        canvas.SetOrigin({0, 0});
        canvas.PopClipRect();
    }
}

LRESULT TWinControl::DefaultHandler(UINT message, WPARAM wParam, LPARAM lParam) {
    if (subclassed_) return DefSubclassProc(handle_, message, wParam, lParam);
    return DefWindowProcW(handle_, message, wParam, lParam);
}

LRESULT TWinControl::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT:
        if (subclassed_) break;
        {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(handle_, &paint);
            PaintWindow(dc);
            EndPaint(handle_, &paint);
        }
        return 0;
    case WM_ERASEBKGND:
        if (!subclassed_) return 1;  // PaintWindow fills the background
        break;
    case WM_COMMAND:
        if (TWinControl* child = FromHandle(reinterpret_cast<HWND>(lParam))) {
            child->CommandNotify(HIWORD(wParam));
            return 0;
        }
        break;
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        LRESULT result = 0;
        if (TWinControl* child = FromHandle(header->hwndFrom); child && child->NotifyReflected(*header, result))
            return result;
        break;
    }
    case WM_SIZE: {
        TSize old = clientSize_;
        clientSize_ = {LOWORD(lParam), HIWORD(lParam)};
        std::vector<LayoutItem> items;
        for (TControl* child : controls_)
            items.push_back({child->Align(), child->Anchors, child->Visible(), child->BoundsRect()});
        AnchorItems(items, old, clientSize_);
        for (size_t i = 0; i < controls_.size(); ++i) controls_[i]->SetBounds(items[i].Bounds);
        Realign();
        break;
    }
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC: {
        // Check boxes and labels of native controls take this control's colour.
        COLORREF colour = GdiCanvas(reinterpret_cast<HDC>(wParam)).ColorToRGB(Color);
        SetBkColor(reinterpret_cast<HDC>(wParam), colour);
        if (!background_ || backgroundColour_ != colour) {
            if (background_) DeleteObject(background_);
            background_ = CreateSolidBrush(colour);
            backgroundColour_ = colour;
        }
        return reinterpret_cast<LRESULT>(background_);
    }
    case WM_MOUSEMOVE:
        TrackMouse(PointOf(lParam));
        break;
    case WM_SETCURSOR:
        if (reinterpret_cast<HWND>(wParam) == handle_ && LOWORD(lParam) == HTCLIENT && mouseControl_ &&
            mouseControl_->Cursor) {
            SetCursor(LoadCursor(nullptr, MAKEINTRESOURCE(mouseControl_->Cursor)));
            return TRUE;
        }
        break;
    case WM_MOUSELEAVE:
        if (mouseControl_) mouseControl_->MouseLeave();
        mouseControl_ = nullptr;
        break;
    case WM_LBUTTONUP:
        if (!subclassed_) {
            TControl* target = ControlAtPos(PointOf(lParam));
            if (target != this && !target->IsWindowed() && target->Enabled()) target->Click();
        }
        break;
    }
    return DefaultHandler(message, wParam, lParam);
}

LRESULT TWinControl::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        return WndProc(message, wParam, lParam);
    } catch (...) {
        TApplication::Instance().HandleException(std::current_exception());
    }
    return 0;
}

LRESULT CALLBACK TWinControl::OwnWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* control = static_cast<TWinControl*>(GetPropW(window, kControlProperty));
    if (!control || message == WM_NCDESTROY) {
        if (message == WM_NCDESTROY) RemovePropW(window, kControlProperty);
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return control->Dispatch(message, wParam, lParam);
}

LRESULT CALLBACK TWinControl::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                           DWORD_PTR) {
    auto* control = static_cast<TWinControl*>(GetPropW(window, kControlProperty));
    if (!control || message == WM_NCDESTROY) return DefSubclassProc(window, message, wParam, lParam);
    return control->Dispatch(message, wParam, lParam);
}

}  // namespace brenvik
