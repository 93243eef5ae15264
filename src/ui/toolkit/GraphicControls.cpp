#include "ui/toolkit/GraphicControls.h"

#include <algorithm>

#include "base/Exception.h"
#include "platform/GdiCanvas.h"
#include "ui/style/AcceleratorText.h"
#include "ui/toolkit/DesignValues.h"
#include "ui/toolkit/TForm.h"
#include "ui/toolkit/TextWrap.h"

namespace brenvik {

void RegisterGraphicControls() {
    TForm::RegisterKind("TLabel", [](TComponent* owner) { return new TLabel(owner); });
    TForm::RegisterKind("TBevel", [](TComponent* owner) { return new TBevel(owner); });
    TForm::RegisterKind("TShape", [](TComponent* owner) { return new TShape(owner); });
    TForm::RegisterKind("TImage", [](TComponent* owner) { return new TImage(owner); });
}

std::vector<std::pair<std::string, int>> TLabel::Lines(Canvas& canvas) const {
    std::vector<std::string> texts = {Caption()};
    if (WordWrap) texts = WrapText(Caption(), Width(), [&](const std::string& text) { return canvas.TextExtent(text).Width; });
    std::vector<std::pair<std::string, int>> lines;
    for (auto& text : texts) {
        int height = canvas.TextExtent(text.empty() ? " " : text).Height;
        lines.emplace_back(std::move(text), height);
    }
    return lines;
}

void TLabel::Paint(Canvas& canvas) {
    TFontSpec font = Font();
    if (!Enabled()) font.Color = clBtnShadow;
    canvas.SetFont(font);
    canvas.SetBrushColor(Transparent ? clNone : Color);
    if (!Transparent) canvas.FillRect({0, 0, Width(), Height()});
    canvas.SetBrushColor(clNone);
    int top = 0;
    for (const auto& [line, height] : Lines(canvas)) {
        canvas.DrawText(line, {0, top, Width(), top + height}, tfSingleLine);
        top += height;
    }
}

void TLabel::SetFocusControl(TWinControl* control) {
    if (focusControl_) RemoveFreeNotification(focusControl_);
    focusControl_ = control;
    if (control) FreeNotification(control);
}

void TLabel::Notification(TComponent* other) {
    if (other == focusControl_) focusControl_ = nullptr;
}

bool TLabel::DialogChar(wchar_t key) {
    if (!focusControl_ || !IsAccelerator(key) || !focusControl_->CanFocus()) return false;
    focusControl_->SetFocus();
    return true;
}

std::optional<TextRoom> TLabel::MeasureText(Canvas& canvas) {
    canvas.SetFont(Font());
    TSize needed;
    for (const auto& [line, height] : Lines(canvas)) {
        needed.Width = std::max(needed.Width, canvas.TextExtent(WithoutAccelerator(line)).Width);
        needed.Height += height;
    }
    return TextRoom{{0, 0, Width(), Height()}, needed};
}

void TLabel::SetCaption(const std::string& caption) {
    TControl::SetCaption(caption);
    AdjustBounds();
}

void TLabel::FontChanged() {
    TControl::FontChanged();
    AdjustBounds();
}

void TLabel::AdjustBounds() {
    if (!AutoSize) return;
    HDC screen = GetDC(nullptr);
    HDC measure = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    TSize needed;
    {
        GdiCanvas canvas(measure);
        needed = MeasureText(canvas)->Needed;
    }
    DeleteDC(measure);
    const TRect& r = BoundsRect();
    SetBounds({r.Left, r.Top, WordWrap ? r.Right : r.Left + needed.Width, r.Top + needed.Height});
}

void TLabel::ApplyProperty(const DesignProperty& property, TForm& form) {
    if (property.Name == "FocusControl") {
        // The control may come later in the design.
        form.ResolveLater([this, &form, name = property.Value] {
            auto* control = dynamic_cast<TWinControl*>(form.FindComponent(name));
            if (!control) throw Exception(Name + ": focus control " + name + " not found");
            SetFocusControl(control);
        });
    } else if (property.Name == "WordWrap") {
        WordWrap = ParseBool(property.Value);
        AdjustBounds();
    } else if (property.Name == "AutoSize") {
        AutoSize = ParseBool(property.Value);
        AdjustBounds();
    } else if (property.Name == "Transparent") {
        Transparent = ParseBool(property.Value);
    } else {
        TControl::ApplyProperty(property, form);
    }
}

void TBevel::Paint(Canvas& canvas) {
    int right = Width() - 1, bottom = Height() - 1;
    auto etched = [&](int y) {
        canvas.SetPen(clBtnShadow, 1);
        canvas.Line({0, y}, {right + 1, y});
        canvas.SetPen(clBtnHighlight, 1);
        canvas.Line({0, y + 1}, {right + 1, y + 1});
    };
    switch (Shape) {
    case TBevelShape::bsTopLine: etched(0); break;
    case TBevelShape::bsBottomLine: etched(bottom - 1); break;
    case TBevelShape::bsBox:
        canvas.SetBrushColor(clNone);
        canvas.SetPen(clBtnShadow, 1);
        canvas.Rectangle({0, 0, right, bottom});
        canvas.SetPen(clBtnHighlight, 1);
        canvas.Rectangle({1, 1, right + 1, bottom + 1});
        break;
    }
}

void TBevel::ApplyProperty(const DesignProperty& property, TForm& form) {
    if (property.Name != "Shape") return TControl::ApplyProperty(property, form);
    Shape = property.Value == "bsTopLine"      ? TBevelShape::bsTopLine
            : property.Value == "bsBottomLine" ? TBevelShape::bsBottomLine
                                               : TBevelShape::bsBox;
}

void TShape::Paint(Canvas& canvas) {
    canvas.SetBrushColor(BrushColor);
    canvas.SetPen(PenColor, PenWidth);
    // The pen is centred on the outline: keep all of it inside the bounds.
    int inset = PenWidth / 2;
    canvas.Rectangle({inset, inset, inset + Width() - PenWidth + 1, inset + Height() - PenWidth + 1});
}

void TShape::ApplyProperty(const DesignProperty& property, TForm& form) {
    if (property.Name == "BrushColor")
        BrushColor = ParseColor(property.Value);
    else if (property.Name == "PenColor")
        PenColor = ParseColor(property.Value);
    else if (property.Name == "PenWidth")
        PenWidth = ParseInt(property.Value);
    else
        TControl::ApplyProperty(property, form);
}

}  // namespace brenvik

namespace brenvik {

TImage::~TImage() {
    if (picture_) DestroyIcon(picture_);
}

void TImage::SetPicture(HICON icon) {
    if (picture_) DestroyIcon(picture_);
    picture_ = icon ? CopyIcon(icon) : nullptr;
    ICONINFO info{};
    if (AutoSize && picture_ && GetIconInfo(picture_, &info)) {
        BITMAP mask{};
        GetObjectW(info.hbmMask, sizeof mask, &mask);
        int height = info.hbmColor ? mask.bmHeight : mask.bmHeight / 2;  // monochrome icons stack two masks
        SetBounds({Left(), Top(), Left() + mask.bmWidth, Top() + height});
        if (info.hbmColor) DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
    }
    Invalidate();
}

void TImage::Paint(Canvas& canvas) {
    // Icons are drawn by the system; only a GDI surface can take them.
    if (auto* gdi = dynamic_cast<GdiCanvas*>(&canvas); gdi && picture_)
        DrawIconEx(gdi->Handle(), 0, 0, picture_, 0, 0, 0, nullptr, DI_NORMAL);
}

void TImage::ApplyProperty(const DesignProperty& property, TForm& form) {
    if (property.Name == "AutoSize")
        AutoSize = ParseBool(property.Value);
    else
        TControl::ApplyProperty(property, form);
}

}  // namespace brenvik
