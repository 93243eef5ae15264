#include "ui/toolkit/TPopupMenu.h"

#include "platform/Cp1250.h"
#include "ui/toolkit/TApplication.h"
#include "ui/toolkit/UtilityWindow.h"

namespace brenvik {
namespace {

const wchar_t kMenuHostClass[] = L"BrenvikMenuHost";
constexpr UINT kFirstCommand = 1;

}  // namespace

void TMenuItem::Click() {
    if (Enabled && OnClick) OnClick(this);
}

TPopupMenu::~TPopupMenu() {
    if (host_) DestroyWindow(host_);
}

TMenuItem* TPopupMenu::Add(const std::string& name, const std::string& caption, TNotifyEvent onClick) {
    auto* item = new TMenuItem(Owner() ? Owner() : this);
    item->Name = name;
    item->Caption = caption;
    item->OnClick = std::move(onClick);
    Items.push_back(item);
    return item;
}

HMENU TPopupMenu::Build() const {
    HMENU menu = CreatePopupMenu();
    for (size_t i = 0; i < Items.size(); ++i) {
        const TMenuItem& item = *Items[i];
        if (!item.Visible) continue;
        UINT flags = item.IsSeparator() ? MF_SEPARATOR : MF_STRING;
        if (!item.Enabled) flags |= MF_GRAYED;
        if (OwnerDraw()) flags |= MF_OWNERDRAW;
        std::wstring caption = WideFromCp1250(item.Caption);
        UINT id = kFirstCommand + static_cast<UINT>(i);
        if (OwnerDraw())
            AppendMenuW(menu, flags, id, reinterpret_cast<LPCWSTR>(Items[i]));
        else
            AppendMenuW(menu, flags, id, caption.c_str());
        if (item.Default) SetMenuDefaultItem(menu, id, FALSE);
    }
    return menu;
}

LRESULT CALLBACK TPopupMenu::HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* menu = reinterpret_cast<TPopupMenu*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    try {
        if (menu && message == WM_MEASUREITEM) {
            auto& measure = *reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
            menu->OnMeasureItem(*reinterpret_cast<TMenuItem*>(measure.itemData), measure);
            return TRUE;
        }
        if (menu && message == WM_DRAWITEM) {
            auto& draw = *reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
            menu->OnDrawItem(*reinterpret_cast<TMenuItem*>(draw.itemData), draw);
            return TRUE;
        }
    } catch (...) {
        TApplication::Instance().HandleException(std::current_exception());
        return TRUE;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void TPopupMenu::Popup(int x, int y) {
    if (!host_) host_ = CreateUtilityWindow(kMenuHostClass, HostProc, this);
    HMENU menu = Build();
    UINT chosen = static_cast<UINT>(
        TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN, x, y, 0, host_, nullptr));
    DestroyMenu(menu);
    if (chosen >= kFirstCommand && chosen - kFirstCommand < Items.size()) Items[chosen - kFirstCommand]->Click();
}

}  // namespace brenvik
