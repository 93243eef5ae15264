#pragma once
#include <functional>
#include <optional>
#include <string>

#include "ui/canvas/Canvas.h"
#include "ui/toolkit/FormDesign.h"
#include "ui/toolkit/Layout.h"
#include "ui/toolkit/TComponent.h"

namespace brenvik {

class TWinControl;
class TForm;
using TNotifyEvent = std::function<void(TObject* sender)>;

// The room a control gives its text and what the text needs there, both in
// the control's own coordinates and measured as the control paints.
struct TextRoom {
    TRect Box;
    TSize Needed;
};

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
    // With ParentFont the control takes its parent's font, now and whenever
    // that changes; setting a font of its own ends that.
    const TFontSpec& Font() const { return font_; }
    void SetFont(const TFontSpec& font);
    bool ParentFont = true;
    // With ParentFont, takes the parent's font now.
    void FollowParentFont();
    int Cursor = 0;  // a system cursor id (IDC_…); 0 keeps the window's arrow
    TNotifyEvent OnClick;

    virtual bool IsWindowed() const { return false; }
    virtual void Paint(Canvas&) {}
    void Invalidate();
    // Controls without text of their own have none.
    virtual std::optional<TextRoom> MeasureText(Canvas&) { return std::nullopt; }

    void ApplyProperty(const DesignProperty& property, TForm& form) override;
    // The form owning this control (handlers are resolved there).
    TForm* OwnerForm() const;

    virtual void Click();
    // An Alt+letter of the user (or a letter the focused control does not
    // take): true when this control or one inside it took it as its own.
    virtual bool DialogChar(wchar_t) { return false; }
    // Mouse input for window-less controls, in their own coordinates.
    virtual void MouseMove(TPoint) {}
    virtual void MouseLeave() {}
    // The mouse is over the control or a window of its own (set by the
    // application at idle time); hot-tracking controls repaint on a change.
    bool MouseInControl() const { return mouseInControl_; }
    void SetMouseInControl(bool inside);

protected:
    // The caption marks key with "&" (letter case aside).
    bool IsAccelerator(wchar_t key) const;
    virtual void BoundsChanged() {}
    virtual void FontChanged() { Invalidate(); }
    virtual void MouseInControlChanged() {}
    // Records bounds the window system already applied.
    void SetBoundsSilently(const TRect& bounds) { bounds_ = bounds; }

private:
    TWinControl* parent_ = nullptr;
    TRect bounds_;
    TAlign align_ = TAlign::alNone;
    bool visible_ = true;
    bool enabled_ = true;
    bool mouseInControl_ = false;
    std::string caption_;
    TFontSpec font_;
};

}  // namespace brenvik
