#pragma once
#include <memory>

#include "platform/GdiCanvas.h"
#include "platform/PictureOleLoader.h"
#include "platform/ShellSystemIcons.h"
#include "ui/frame/MarkupLabel.h"
#include "ui/toolkit/TControl.h"

namespace brenvik {

// Puts a markup label on a toolkit window: this control takes the place in
// the parent's layout, paint and mouse input, and serves the label as its host.
class TMarkupLabelControl : public TControl, private ControlHost {
public:
    explicit TMarkupLabelControl(TComponent* owner);
    ~TMarkupLabelControl() override;

    TMarkupLabel& Label() { return label_; }
    void SetMarkupText(const std::string& text) { label_.SetMarkupText(text); }

    void Paint(Canvas& canvas) override;
    std::optional<TextRoom> MeasureText(Canvas& canvas) override;
    void MouseMove(TPoint point) override;
    void MouseLeave() override;
    void Click() override;
    void ApplyProperty(const DesignProperty& property, TForm& form) override;

protected:
    void BoundsChanged() override;
    void FontChanged() override;

private:
    void InvalidateRect(const TRect& rect) override;
    TPoint CursorPos() const override;
    void SetCursor(TCursor cursor) override;
    void CancelHint() override {}
    Canvas& MeasureCanvas() override;

    OlePictureLoader loader_;
    ShellSystemIcons icons_;
    HDC measureDc_ = nullptr;
    std::unique_ptr<GdiCanvas> measureCanvas_;
    TMarkupLabel label_;
};

void RegisterFrameControls();

}  // namespace brenvik
