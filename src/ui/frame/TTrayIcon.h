#pragma once
#include <windows.h>
#include <shellapi.h>

#include <functional>

#include "ui/frame/TrayNotification.h"
#include "ui/toolkit/TComponent.h"
#include "ui/toolkit/TControl.h"
#include "ui/toolkit/TPopupMenu.h"

namespace brenvik {

using TMouseEvent = std::function<void(TObject* sender, TMouseButton, unsigned shift, int x, int y)>;
using TMouseMoveEvent = std::function<void(TObject* sender, unsigned shift, int x, int y)>;

// One icon in the notification area, with a tooltip, a popup menu on
// right-click and mouse events for its owner.
class TTrayIcon : public TComponent, private TrayEvents {
public:
    static constexpr UINT kCallbackMessage = WM_USER + 848;  // 1872

    explicit TTrayIcon(TComponent* owner);
    ~TTrayIcon() override;

    bool Active() const { return active_; }
    void SetActive(bool active);
    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& hint);
    HICON Icon() const { return icon_; }
    void SetIcon(HICON icon);  // copies the icon
    TPopupMenu* PopupMenu() const { return popupMenu_; }
    void SetPopupMenu(TPopupMenu* menu);
    bool StartMinimized = false;

    TMouseEvent OnClick, OnMouseDown, OnMouseUp;
    TMouseMoveEvent OnMouseMove;
    TNotifyEvent OnDblClick;

    // After the owner's design is read: adds the icon, applies StartMinimized.
    void Loaded();
    bool IconAdded() const { return added_; }
    HWND WindowHandle() const { return window_; }

protected:
    virtual void FillIconData();
    void Notification(TComponent* other) override;
    void DblClick() override;
    void Click(TMouseButton button, unsigned shift, TPoint at) override;
    void MouseDown(TMouseButton button, unsigned shift, TPoint at) override;
    void MouseMove(unsigned shift, TPoint at) override;
    void MouseUp(TMouseButton button, unsigned shift, TPoint at) override;

private:
    void AddIcon();
    void RemoveIcon();
    void UpdateIcon();
    bool PopupAtCursor(int x, int y);
    bool ClickDefaultItem();
    static LRESULT CALLBACK WndProc(HWND, UINT, WPARAM, LPARAM);

    HWND window_ = nullptr;
    NOTIFYICONDATAA data_{};
    HICON icon_ = nullptr;
    bool active_ = true;
    bool added_ = false;
    bool destroying_ = false;
    std::string hint_;
    TPopupMenu* popupMenu_ = nullptr;
    TrayNotificationDispatcher dispatcher_;
};

}  // namespace brenvik
