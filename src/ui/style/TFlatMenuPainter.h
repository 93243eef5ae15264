#pragma once
#include <windows.h>
#undef DrawText

#include "ui/style/StyleColors.h"
#include "ui/toolkit/TComponent.h"
#include "ui/toolkit/TPopupMenu.h"

namespace brenvik {

class TForm;

enum TFlatContainer : unsigned {
    xcForm = 1u << 0, xcToolbar = 1u << 1, xcCoolbar = 1u << 2, xcControlbar = 1u << 3, xcPanel = 1u << 4,
    xcScrollBox = 1u << 5, xcFrame = 1u << 6, xcGroupBox = 1u << 7, xcTabSheet = 1u << 8,
};
enum TFlatControl : unsigned {
    xcMainMenu = 1u << 0, xcPopupMenu = 1u << 1, xcCToolbar = 1u << 2, xcCControlbar = 1u << 3, xcCombo = 1u << 4,
    xcEdit = 1u << 5, xcCheckBox = 1u << 6, xcRadioButton = 1u << 7, xcButton = 1u << 8,
};

// Gives the popup menus of its form a flat look by owner-drawing their items:
// a pale background, a tinted image column, an outlined selection band, and
// images dimmed at rest and lifted over a shadow under the mouse. Only popup
// menus are painted; the other targets are kept as settings.
class TFlatMenuPainter : public TComponent {
public:
    explicit TFlatMenuPainter(TComponent* owner);
    ~TFlatMenuPainter() override;

    bool Active() const { return active_; }
    void SetActive(bool active);
    unsigned FlatControls() const { return flatControls_; }
    void SetFlatControls(unsigned controls);
    unsigned FlatContainers() const { return flatContainers_; }
    void SetFlatContainers(unsigned containers);

    bool AutoDetect = false;
    TFontSpec Font;
    TColor Color = clBtnFace, IconBackColor = clBtnFace, MenuBarColor = clBtnFace;
    TColor SelectColor = clHighlight, SelectBorderColor = clHighlight, SelectFontColor;
    TColor DisabledColor = SystemColor(3), SeparatorColor = clBtnFace, CheckedColor = clHighlight;
    int IconWidth = 24;
    int DimLevel = 30;
    int GrayLevel = 10;
    bool DrawSelect = true;
    bool UseSystemColors = true;
    bool OverrideOwnerDraw = false;
    bool Gradient = false;
    bool FlatMenu = false;

    // The item handlers it installs; public so that a window's own code can
    // measure and paint with it.
    void MeasureItem(TMenuItem& item, Canvas& canvas, int& width, int& height);
    void DrawItem(TMenuItem& item, Canvas& canvas, const TRect& rect, bool selected);

    // The system's menu font, in the menu text colour.
    static TFontSpec SystemMenuFont();

private:
    TForm* Form() const;
    void Attach();
    void Detach();
    void AttachItems(TPopupMenu& menu);
    TPopupMenu* MenuOf(const TMenuItem& item) const;
    FlatMenuColors CurrentColors(HDC dc) const;
    void DrawImage(TMenuItem& item, ImageList& images, HDC dc, TPoint at, bool selected,
                   const FlatMenuColors& colors, bool highColor);

    bool active_ = false;
    unsigned flatControls_ = xcMainMenu | xcPopupMenu | xcCToolbar | xcCControlbar | xcCombo | xcCheckBox |
                             xcRadioButton | xcButton;
    unsigned flatContainers_ = xcToolbar | xcCoolbar | xcControlbar | xcPanel;
};

}  // namespace brenvik
