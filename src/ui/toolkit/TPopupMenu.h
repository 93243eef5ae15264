#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <vector>

#include "ui/toolkit/TControl.h"

namespace brenvik {

class TPopupMenu;
class TMenuItem;
class ImageList;

// Owner-drawn items: measure gets the proposed size to grow, draw the item's
// rectangle on the menu's surface and whether the item is under the mouse.
using TMenuMeasureItemEvent = std::function<void(TMenuItem& item, Canvas& canvas, int& width, int& height)>;
using TMenuDrawItemEvent = std::function<void(TMenuItem& item, Canvas& canvas, const TRect& rect, bool selected)>;

// One entry of a popup menu; a caption of "-" makes a separator.
class TMenuItem : public TComponent {
public:
    explicit TMenuItem(TComponent* owner) : TComponent(owner) {}
    std::string Caption;
    bool Default = false;
    bool Enabled = true;
    bool Visible = true;
    int ImageIndex = -1;
    std::string ShortCut;  // the shortcut's text, shown right-aligned
    TNotifyEvent OnClick;
    TMenuMeasureItemEvent OnMeasureItem;
    TMenuDrawItemEvent OnDrawItem;
    bool IsSeparator() const { return Caption == "-"; }
    virtual void Click();
};

// A popup menu shown at a screen point. When it is owner-drawn, the items'
// own measure and draw handlers paint them.
class TPopupMenu : public TComponent {
public:
    explicit TPopupMenu(TComponent* owner) : TComponent(owner) {}
    ~TPopupMenu() override;

    bool AutoPopup = true;
    TComponent* PopupComponent = nullptr;
    std::vector<TMenuItem*> Items;  // owned by the menu's owner, like every component
    TMenuItem* Add(const std::string& name, const std::string& caption, TNotifyEvent onClick = {});

    bool OwnerDraw = false;
    ImageList* Images = nullptr;  // not owned

    // Shows the menu and waits until it closes; the chosen item's click runs.
    void Popup(int x, int y);

private:
    static LRESULT CALLBACK HostProc(HWND, UINT, WPARAM, LPARAM);
    HMENU Build() const;
    HWND host_ = nullptr;
};

}  // namespace brenvik
