#pragma once
#include <functional>
#include <string>

#include "ui/canvas/Canvas.h"
#include "ui/toolkit/FormDesign.h"
#include "ui/toolkit/Layout.h"
#include "ui/toolkit/TComponent.h"

namespace brenvik {

class TWinControl;
class TForm;
using TNotifyEvent = std::function<void(TObject* sender)>;

// A visual component placed on a parent. Controls without a window of their
// own paint on their parent's surface through Paint.
class TControl : public TComponent {
public:
    explicit TControl(TComponent* owner);
    ~TControl() override;

    TWinControl* Parent() const { return parent_; }
    virtual void SetParent(TWinControl* parent);

    // In the parent's client coordinates.
    const TRect& BoundsRect() const { return bounds_; }
    void SetBounds(const TRect& bounds);
    int Left() const { return bounds_.Left; }
    int Top() const { return bounds_.Top; }
    int Width() const { return bounds_.Width(); }
    int Height() const { return bounds_.Height(); }
    void SetTop(int top) { SetBounds({bounds_.Left, top, bounds_.Right, top + Height()}); }
    void SetHeight(int height) { SetBounds({bounds_.Left, bounds_.Top, bounds_.Right, bounds_.Top + height}); }

    TAlign Align() const { return align_; }
    void SetAlign(TAlign align);
    unsigned Anchors = akLeft | akTop;
    bool Visible() const { return visible_; }
    virtual void SetVisible(bool visible);
    bool Enabled() const { return enabled_; }
    virtual void SetEnabled(bool enabled);
    virtual std::string Caption() const { return caption_; }
    virtual void SetCaption(const std::string& caption);

    std::string Hint;
    TColor Color = clBtnFace;
    int Cursor = 0;  // a system cursor id (IDC_…); 0 keeps the window's arrow
    TNotifyEvent OnClick;

    virtual bool IsWindowed() const { return false; }
    virtual void Paint(Canvas&) {}
    void Invalidate();

    // Applies one property of a stored design; unknown names are an error.
    virtual void ApplyProperty(const DesignProperty& property, TForm& form);
    // The form owning this control (handlers are resolved there).
    TForm* OwnerForm() const;

    virtual void Click();
    // An Alt+letter of the user (or a letter the focused control does not
    // take): true when this control or one inside it took it as its own.
    virtual bool DialogChar(wchar_t) { return false; }
    // Mouse input for window-less controls, in their own coordinates.
    virtual void MouseMove(TPoint) {}
    virtual void MouseLeave() {}

protected:
    // The caption marks key with "&" (letter case aside).
    bool IsAccelerator(wchar_t key) const;
    virtual void BoundsChanged() {}
    // Records bounds the window system already applied.
    void SetBoundsSilently(const TRect& bounds) { bounds_ = bounds; }

private:
    TWinControl* parent_ = nullptr;
    TRect bounds_;
    TAlign align_ = TAlign::alNone;
    bool visible_ = true;
    bool enabled_ = true;
    std::string caption_;
};

}  // namespace brenvik
