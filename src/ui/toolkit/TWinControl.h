#pragma once
#include <windows.h>
#undef DrawText  // the canvas has its own DrawText

#include <string>
#include <vector>

#include "ui/toolkit/TControl.h"

namespace brenvik {

// A control with a window of its own: it parents other controls, lays out
// the aligned ones, and turns window messages into virtual calls. Every
// message handler runs inside a catch-all that hands exceptions to the
// application: no exception may cross back into the window manager.
class TWinControl : public TControl {
public:
    explicit TWinControl(TComponent* owner);
    ~TWinControl() override;

    HWND Handle() const { return handle_; }
    bool HandleAllocated() const { return handle_ != nullptr; }
    // Creates the window (and those of the children) if not yet done.
    void HandleNeeded();
    bool IsWindowed() const override { return true; }

    const std::vector<TControl*>& Controls() const { return controls_; }
    TSize ClientSize() const { return clientSize_; }
    virtual void SetClientSize(TSize size);
    void Realign();
    // Realigns this control's children, then theirs.
    void RealignTree();
    // While a form loads its design, controls keep their designed bounds;
    // alignment runs once the whole design is there, so the designed order
    // of controls aligned to one side decides their order.
    class DesignLoading {
    public:
        DesignLoading() { ++depth_; }
        ~DesignLoading() { --depth_; }
        DesignLoading(const DesignLoading&) = delete;
        DesignLoading& operator=(const DesignLoading&) = delete;
        static bool Active() { return depth_ > 0; }

    private:
        static inline int depth_ = 0;  // the UI thread's
    };
    // Deepest visible control under a point of this client area; this when none.
    TControl* ControlAtPos(TPoint point);

    int TabOrder = -1;
    // Visible and enabled, with every window around it: keys can reach it.
    bool CanFocus() const;
    void SetFocus();
    bool DialogChar(wchar_t key) override;
    void SetVisible(bool visible) override;
    void SetEnabled(bool enabled) override;
    std::string Caption() const override;
    void SetCaption(const std::string& caption) override;
    void ApplyProperty(const DesignProperty& property, TForm& form) override;

    // From the window object back to the control; null for foreign windows.
    static TWinControl* FromHandle(HWND window);

protected:
    friend class TControl;
    struct CreateParams {
        // A native control class (subclassed), or a class of the toolkit's
        // own, registered on first use; empty: the toolkit's default class.
        std::wstring ClassName;
        bool NativeClass = false;
        DWORD Style = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
        // The toolkit's own windows hold controls: the dialog manager's Tab
        // goes into them and out again.
        DWORD ExStyle = WS_EX_CONTROLPARENT;
    };
    virtual CreateParams GetCreateParams();
    // Push buttons and check boxes: the caption's accelerator clicks them.
    virtual bool ClicksOnAccelerator() const { return false; }
    // A subclassed system control of the given class and extra styles.
    static CreateParams NativeControlParams(const wchar_t* className, DWORD style);
    virtual void HandleCreated() {}
    virtual LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT DefaultHandler(UINT message, WPARAM wParam, LPARAM lParam);
    // Notification a native control sends to its parent, reflected to it.
    virtual void CommandNotify(WORD) {}
    // A WM_NOTIFY the native control sent to its parent, reflected to it;
    // true when handled, with the result for the sender.
    virtual bool NotifyReflected(NMHDR&, LRESULT&) { return false; }
    // Paints the background and the window-less children.
    virtual void PaintWindow(HDC dc);
    // Fills the client area; controls with a patterned background replace it.
    virtual void PaintBackground(Canvas& canvas);
    void BoundsChanged() override;
    // Native controls take the new font; children with ParentFont follow.
    void FontChanged() override;

private:
    friend class TForm;
    void InsertControl(TControl* control);
    void RemoveControl(TControl* control);
    void CreateWindowHandle();
    void ApplyLayoutToWindow();
    void TrackMouse(TPoint point);
    static LRESULT CALLBACK OwnWindowProc(HWND, UINT, WPARAM, LPARAM);
    static LRESULT CALLBACK SubclassProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);

    HWND handle_ = nullptr;
    bool subclassed_ = false;
    std::vector<TControl*> controls_;
    TSize clientSize_;
    TControl* mouseControl_ = nullptr;  // window-less child under the mouse
    HBRUSH background_ = nullptr;       // handed to native children that ask for a background
    COLORREF backgroundColour_ = 0;
};

}  // namespace brenvik
