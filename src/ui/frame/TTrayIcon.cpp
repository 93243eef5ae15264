#include "ui/frame/TTrayIcon.h"

#include "ui/toolkit/TApplication.h"
#include "ui/toolkit/TForm.h"
#include "ui/toolkit/UtilityWindow.h"

namespace brenvik {
namespace {

const wchar_t kTrayWindowClass[] = L"BrenvikTrayIcon";

// NT family from version 5 on takes the larger record with a 128-byte tip.
bool LargeRecord() {
    DWORD version = GetVersion();
    return !(version & 0x80000000u) && LOBYTE(LOWORD(version)) > 4;
}

unsigned KeyboardShift() {
    unsigned shift = 0;
    if (GetKeyState(VK_SHIFT) < 0) shift |= ssShift;
    if (GetKeyState(VK_MENU) < 0) shift |= ssAlt;
    if (GetKeyState(VK_CONTROL) < 0) shift |= ssCtrl;
    return shift;
}

}  // namespace

TTrayIcon::TTrayIcon(TComponent* owner) : TComponent(owner) {
    window_ = CreateUtilityWindow(kTrayWindowClass, WndProc, this, WS_POPUP, WS_EX_TOOLWINDOW);
    HICON icon = LoadIconA(GetModuleHandleW(nullptr), "TRAYICON16");
    SetIcon(icon ? icon : LoadIcon(nullptr, IDI_WINLOGO));
}

TTrayIcon::~TTrayIcon() {
    destroying_ = true;
    RemoveIcon();
    SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    DestroyWindow(window_);
    if (icon_) DestroyIcon(icon_);
}

void TTrayIcon::FillIconData() {
    data_ = {};
    bool large = LargeRecord();
    data_.cbSize = large ? NOTIFYICONDATAA_V2_SIZE : NOTIFYICONDATAA_V1_SIZE;
    data_.hWnd = window_;
    data_.uID = 0;
    data_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data_.hIcon = icon_ ? icon_ : reinterpret_cast<HICON>(static_cast<INT_PTR>(-1));
    std::string tip = TrayTip(hint_, large ? 127 : 63);
    tip.copy(data_.szTip, tip.size());
    data_.uCallbackMessage = kCallbackMessage;
}

void TTrayIcon::AddIcon() {
    RemoveIcon();
    if (!icon_) return;
    dispatcher_.ClearPressed();
    FillIconData();
    added_ = Shell_NotifyIconA(NIM_ADD, &data_) != FALSE;
}

void TTrayIcon::RemoveIcon() {
    Shell_NotifyIconA(NIM_DELETE, &data_);
    added_ = false;
    dispatcher_.ClearPressed();
}

void TTrayIcon::UpdateIcon() {
    if (added_) {
        if (!icon_) {
            RemoveIcon();
            return;
        }
        FillIconData();
        Shell_NotifyIconA(NIM_MODIFY, &data_);
    } else if (active_) {
        AddIcon();
    }
}

void TTrayIcon::SetActive(bool active) {
    if (active == active_) return;
    active_ = active;
    if (active)
        AddIcon();
    else
        RemoveIcon();
}

void TTrayIcon::SetHint(const std::string& hint) {
    if (hint == hint_) return;
    hint_ = hint;
    UpdateIcon();
}

void TTrayIcon::SetIcon(HICON icon) {
    if (icon_) DestroyIcon(icon_);
    icon_ = icon ? CopyIcon(icon) : nullptr;
    UpdateIcon();
}

void TTrayIcon::SetPopupMenu(TPopupMenu* menu) {
    if (popupMenu_) RemoveFreeNotification(popupMenu_);
    popupMenu_ = menu;
    if (menu) FreeNotification(menu);
}

void TTrayIcon::Notification(TComponent* other) {
    if (other == popupMenu_) popupMenu_ = nullptr;
}

void TTrayIcon::Loaded() {
    if (active_) AddIcon();
    if (StartMinimized) {
        TApplication::Instance().ShowMainForm = false;
        ShowWindow(TApplication::Instance().Handle(), SW_HIDE);
    }
}

bool TTrayIcon::PopupAtCursor(int x, int y) {
    if (!active_ || !popupMenu_ || !popupMenu_->AutoPopup) return false;
    popupMenu_->PopupComponent = this;
    if (!destroying_) {
        HWND active = GetActiveWindow();
        if (!active && TApplication::Instance().MainForm()) active = TApplication::Instance().MainForm()->Handle();
        if (active) SendMessageW(active, WM_CANCELMODE, 0, 0);
    }
    if (IsWindowEnabled(window_)) SetForegroundWindow(window_);
    TApplication::Instance().ProcessMessages();
    // Keeping the hidden window in front lets the menu close when the user
    // clicks elsewhere.
    struct Refocus {
        HWND window;
        ~Refocus() {
            if (IsWindowEnabled(window)) SetForegroundWindow(window);
        }
    } refocus{window_};
    popupMenu_->Popup(x, y);
    return true;
}

bool TTrayIcon::ClickDefaultItem() {
    if (!active_ || !popupMenu_) return false;
    for (TMenuItem* item : popupMenu_->Items) {
        if (item->Default && item->Enabled) {
            item->Click();
            return true;
        }
    }
    return false;
}

void TTrayIcon::DblClick() {
    if (!ClickDefaultItem() && OnDblClick) OnDblClick(this);
}

void TTrayIcon::Click(TMouseButton button, unsigned shift, TPoint at) {
    if (button == TMouseButton::mbRight && PopupAtCursor(at.X, at.Y)) return;
    if (OnClick) OnClick(this, button, shift, at.X, at.Y);
}

void TTrayIcon::MouseDown(TMouseButton button, unsigned shift, TPoint at) {
    if (OnMouseDown) OnMouseDown(this, button, shift, at.X, at.Y);
}

void TTrayIcon::MouseMove(unsigned shift, TPoint at) {
    if (OnMouseMove) OnMouseMove(this, shift, at.X, at.Y);
}

void TTrayIcon::MouseUp(TMouseButton button, unsigned shift, TPoint at) {
    if (OnMouseUp) OnMouseUp(this, button, shift, at.X, at.Y);
}

LRESULT CALLBACK TTrayIcon::WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<TTrayIcon*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message != kCallbackMessage || !self) return DefWindowProcW(window, message, wParam, lParam);
    try {
        POINT cursor;
        GetCursorPos(&cursor);
        self->dispatcher_.Handle(static_cast<std::uint32_t>(lParam), KeyboardShift(), {cursor.x, cursor.y}, *self);
    } catch (...) {
        TApplication::Instance().HandleException(std::current_exception());
    }
    return 0;
}

}  // namespace brenvik
