#include "ui/frame/TMarkupLabelControl.h"

#include <cstdlib>

#include "platform/ShellOpen.h"
#include "ui/toolkit/DesignValues.h"
#include "ui/toolkit/Scaling.h"
#include "ui/toolkit/TForm.h"
#include "ui/toolkit/TWinControl.h"

namespace brenvik {

void RegisterFrameControls() {
    TForm::RegisterKind("TMarkupLabel", [](TComponent* owner) { return new TMarkupLabelControl(owner); });
}

TMarkupLabelControl::TMarkupLabelControl(TComponent* owner)
    : TControl(owner), measureDc_(CreateCompatibleDC(nullptr)),
      measureCanvas_(std::make_unique<GdiCanvas>(measureDc_)), label_(*this, loader_, &icons_) {
    label_.OpenAddress = ShellOpenAddress;
}

TMarkupLabelControl::~TMarkupLabelControl() {
    measureCanvas_.reset();
    DeleteDC(measureDc_);
}

void TMarkupLabelControl::BoundsChanged() { label_.SetBounds(BoundsRect()); }

// Markup sizes fonts in points ("<FONT SIZE>"): a design's pixel height
// becomes the point size it has at 96 per inch.
void TMarkupLabelControl::FontChanged() {
    TFontSpec font = Font();
    if (font.Height) font.Size = MulDiv(std::abs(font.Height), 72, kDesignPixelsPerInch);
    font.Height = 0;
    label_.Font = font;
    label_.Invalidate();
}

void TMarkupLabelControl::Paint(Canvas& canvas) { label_.Paint(canvas); }

std::optional<TextRoom> TMarkupLabelControl::MeasureText(Canvas& canvas) {
    auto [room, needed] = label_.MeasureText(canvas);
    return TextRoom{room, needed};
}
void TMarkupLabelControl::MouseMove(TPoint point) { label_.MouseMove(point); }
void TMarkupLabelControl::MouseLeave() { label_.MouseLeave(); }

void TMarkupLabelControl::Click() {
    label_.MouseDown(label_.MousePos());
    TControl::Click();
}

void TMarkupLabelControl::ApplyProperty(const DesignProperty& property, TForm& form) {
    const std::string& value = property.Value;
    if (property.Name == "Transparent")
        label_.Transparent = ParseBool(value);
    else if (property.Name == "AutoSizing")
        label_.SetAutoSizing(ParseBool(value));
    else if (property.Name == "Ellipsis")
        label_.SetEllipsis(ParseBool(value));
    else if (property.Name == "URLColor")
        label_.SetURLColor(ParseColor(value));
    else if (property.Name == "MarkupText")
        label_.SetMarkupText(value);
    else
        TControl::ApplyProperty(property, form);
}

void TMarkupLabelControl::InvalidateRect(const TRect& rect) {
    if (!Parent() || !Parent()->HandleAllocated()) return;
    RECT area{rect.Left, rect.Top, rect.Right, rect.Bottom};
    ::InvalidateRect(Parent()->Handle(), &area, TRUE);
}

TPoint TMarkupLabelControl::CursorPos() const {
    POINT cursor{};
    GetCursorPos(&cursor);
    if (Parent() && Parent()->HandleAllocated()) ScreenToClient(Parent()->Handle(), &cursor);
    return {cursor.x, cursor.y};
}

void TMarkupLabelControl::SetCursor(TCursor cursor) { Cursor = cursor == TCursor::crHandPoint ? 32649 : 0; }

Canvas& TMarkupLabelControl::MeasureCanvas() { return *measureCanvas_; }

}  // namespace brenvik
