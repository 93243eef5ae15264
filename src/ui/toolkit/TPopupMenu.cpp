#include "ui/toolkit/TPopupMenu.h"

#include <algorithm>

#include "platform/Cp1250.h"
#include "platform/GdiCanvas.h"
#include "ui/style/AcceleratorText.h"
#include "ui/toolkit/TApplication.h"
#include "ui/toolkit/UtilityWindow.h"

namespace brenvik {
namespace {

const wchar_t kMenuHostClass[] = L"BrenvikMenuHost";
constexpr UINT kFirstCommand = 1;
constexpr TColor clMenu = SystemColor(4), clMenuText = SystemColor(7);

// An owner-drawn item nobody paints still shows its caption.
void MeasurePlainItem(TMenuItem& item, Canvas& canvas, int& width, int& height) {
    TSize extent = canvas.TextExtent(item.IsSeparator() ? std::string(" ") : " " + item.Caption + " ");
    width = std::max(width, extent.Width);
    height = std::max(height, item.IsSeparator() ? extent.Height / 2 : extent.Height + 4);
}

void DrawPlainItem(TMenuItem& item, Canvas& canvas, const TRect& rect, bool selected) {
    canvas.SetBrushColor(selected ? clHighlight : clMenu);
    canvas.FillRect(rect);
    TFontSpec font = canvas.Font();
    font.Color = selected ? clHighlightText : clMenuText;
    canvas.SetFont(font);
    canvas.SetBrushColor(clNone);
    if (item.IsSeparator()) {
        canvas.SetPen(clBtnShadow, 1);
        canvas.Line({rect.Left, rect.Top + rect.Height() / 2}, {rect.Right, rect.Top + rect.Height() / 2});
    } else {
        canvas.DrawText(" " + item.Caption, {rect.Left, rect.Top + 2, rect.Right, rect.Bottom}, tfSingleLine);
    }
}

// Owner-drawn entries keep no text the system could search: the key of an
// entry's "&" letter is matched here. Positions count the entries shown.
LRESULT ChooseByAccelerator(const std::vector<TMenuItem*>& items, wchar_t key) {
    UINT position = 0;
    for (const TMenuItem* item : items) {
        if (!item->Visible) continue;
        if (char letter = AcceleratorChar(item->Caption); letter && !item->IsSeparator()) {
            std::wstring wide = WideFromCp1250(std::string(1, letter));
            if (!wide.empty() && CharLowerW(reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(wide[0]))) ==
                                     CharLowerW(reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(key))))
                return MAKELRESULT(position, MNC_EXECUTE);
        }
        ++position;
    }
    return MAKELRESULT(0, MNC_IGNORE);
}

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
        if (OwnerDraw) flags |= MF_OWNERDRAW;
        std::wstring caption = WideFromCp1250(item.Caption);
        UINT id = kFirstCommand + static_cast<UINT>(i);
        if (OwnerDraw)
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
            auto& item = *reinterpret_cast<TMenuItem*>(measure.itemData);
            HDC dc = GetDC(window);
            {
                GdiCanvas canvas(dc);
                int width = static_cast<int>(measure.itemWidth), height = static_cast<int>(measure.itemHeight);
                (item.OnMeasureItem ? item.OnMeasureItem : MeasurePlainItem)(item, canvas, width, height);
                measure.itemWidth = static_cast<UINT>(std::max(width, 0));
                measure.itemHeight = static_cast<UINT>(std::max(height, 0));
            }
            ReleaseDC(window, dc);
            return TRUE;
        }
        if (menu && message == WM_MENUCHAR && menu->OwnerDraw)
            return ChooseByAccelerator(menu->Items, static_cast<wchar_t>(LOWORD(wParam)));
        if (menu && message == WM_DRAWITEM) {
            auto& draw = *reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
            auto& item = *reinterpret_cast<TMenuItem*>(draw.itemData);
            GdiCanvas canvas(draw.hDC);
            TRect rect{draw.rcItem.left, draw.rcItem.top, draw.rcItem.right, draw.rcItem.bottom};
            bool selected = (draw.itemState & ODS_SELECTED) != 0;
            (item.OnDrawItem ? item.OnDrawItem : DrawPlainItem)(item, canvas, rect, selected);
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
