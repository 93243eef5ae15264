#pragma once
#include <windows.h>
#undef DrawText  // the canvas has its own DrawText

#include "ui/toolkit/TControl.h"

namespace brenvik {

// Window-less controls: they paint on their parent, in their own coordinates.

// Text, optionally wrapped at spaces to the label's width. With AutoSize
// (the default) it takes the size its text needs in its font: the width of
// its line, or with WordWrap the height of its lines. Its accelerator puts
// the keyboard into its focus control.
class TLabel : public TControl {
public:
    using TControl::TControl;
    bool WordWrap = false;
    bool Transparent = true;
    bool AutoSize = true;
    TWinControl* FocusControl() const { return focusControl_; }
    void SetFocusControl(TWinControl* control);
    void SetCaption(const std::string& caption) override;
    void Paint(Canvas& canvas) override;
    std::optional<TextRoom> MeasureText(Canvas& canvas) override;
    bool DialogChar(wchar_t key) override;
    void ApplyProperty(const DesignProperty& property, TForm& form) override;

protected:
    void FontChanged() override;
    void Notification(TComponent* other) override;

private:
    void AdjustBounds();
    // The lines as painted, each with its height.
    std::vector<std::pair<std::string, int>> Lines(Canvas& canvas) const;
    TWinControl* focusControl_ = nullptr;
};

enum class TBevelShape { bsBox, bsTopLine, bsBottomLine };

// An etched line or frame.
class TBevel : public TControl {
public:
    using TControl::TControl;
    TBevelShape Shape = TBevelShape::bsBox;
    void Paint(Canvas& canvas) override;
    void ApplyProperty(const DesignProperty& property, TForm& form) override;
};

// A rectangle outlined with a pen and filled with a brush.
class TShape : public TControl {
public:
    using TControl::TControl;
    TColor BrushColor = clWhite;
    TColor PenColor = clBlack;
    int PenWidth = 1;
    void Paint(Canvas& canvas) override;
    void ApplyProperty(const DesignProperty& property, TForm& form) override;
};

// A picture (an icon) drawn at its natural size; with AutoSize the control
// takes that size.
class TImage : public TControl {
public:
    using TControl::TControl;
    ~TImage() override;
    bool AutoSize = false;
    HICON Picture() const { return picture_; }
    void SetPicture(HICON icon);  // copies the icon
    void Paint(Canvas& canvas) override;
    void ApplyProperty(const DesignProperty& property, TForm& form) override;

private:
    HICON picture_ = nullptr;
};

void RegisterGraphicControls();

}  // namespace brenvik
