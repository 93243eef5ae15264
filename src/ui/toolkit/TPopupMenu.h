#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <vector>

#include "ui/toolkit/TControl.h"

namespace brenvik {

class TPopupMenu;

// One entry of a popup menu; a caption of "-" makes a separator.
class TMenuItem : public TComponent {
public:
    explicit TMenuItem(TComponent* owner) : TComponent(owner) {}
    std::string Caption;
    bool Default = false;
    bool Enabled = true;
    bool Visible = true;
    int ImageIndex = -1;
    TNotifyEvent OnClick;
    bool IsSeparator() const { return Caption == "-"; }
    virtual void Click();
};

// A popup menu shown at a screen point. Owner-drawn painting hooks let a
// painter take over measuring and drawing of the items.
class TPopupMenu : public TComponent {
public:
    explicit TPopupMenu(TComponent* owner) : TComponent(owner) {}
    ~TPopupMenu() override;

    bool AutoPopup = true;
    TComponent* PopupComponent = nullptr;
    std::vector<TMenuItem*> Items;  // owned by the menu's owner, like every component
    TMenuItem* Add(const std::string& name, const std::string& caption, TNotifyEvent onClick = {});

    std::function<void(TMenuItem&, MEASUREITEMSTRUCT&)> OnMeasureItem;
    std::function<void(TMenuItem&, const DRAWITEMSTRUCT&)> OnDrawItem;
    bool OwnerDraw() const { return OnMeasureItem && OnDrawItem; }

    // Shows the menu and waits until it closes; the chosen item's click runs.
    void Popup(int x, int y);

private:
    static LRESULT CALLBACK HostProc(HWND, UINT, WPARAM, LPARAM);
    HMENU Build() const;
    HWND host_ = nullptr;
};

}  // namespace brenvik
