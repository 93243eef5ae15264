#include "ui/style/TFlatMenuPainter.h"

#include <algorithm>

#include "platform/Cp1250.h"
#include "platform/GdiCanvas.h"
#include "ui/canvas/ImageList.h"
#include "ui/style/GdiStyle.h"
#include "ui/style/MenuItemGeometry.h"

namespace brenvik {
namespace {

constexpr TColor clMenuText = SystemColor(7);
constexpr int kShortCutInset = 10;
constexpr int kShadowDarkening = 50;

// The painter's handlers are recognisable by type, so that detaching leaves
// handlers others installed alone.
struct PainterMeasure {
    TFlatMenuPainter* Painter;
    void operator()(TMenuItem& item, Canvas& canvas, int& width, int& height) const {
        Painter->MeasureItem(item, canvas, width, height);
    }
};
struct PainterDraw {
    TFlatMenuPainter* Painter;
    void operator()(TMenuItem& item, Canvas& canvas, const TRect& rect, bool selected) const {
        Painter->DrawItem(item, canvas, rect, selected);
    }
};

template <typename Handler, typename Event>
bool IsOwnHandler(const Event& event, const TFlatMenuPainter* painter) {
    const Handler* handler = event.template target<Handler>();
    return handler && handler->Painter == painter;
}

bool HasImage(const TMenuItem& item, const TPopupMenu* menu) {
    return menu && menu->Images && item.ImageIndex >= 0 && item.ImageIndex < menu->Images->Count();
}

}  // namespace

TFlatMenuPainter::TFlatMenuPainter(TComponent* owner) : TComponent(owner), Font(SystemMenuFont()) {
    SelectFontColor = Font.Color;
}

TFlatMenuPainter::~TFlatMenuPainter() { Detach(); }

TFontSpec TFlatMenuPainter::SystemMenuFont() {
    TFontSpec font;
    font.Color = clMenuText;
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
        const LOGFONTW& menu = metrics.lfMenuFont;
        HDC screen = GetDC(nullptr);
        int dpi = GetDeviceCaps(screen, LOGPIXELSY);
        ReleaseDC(nullptr, screen);
        if (menu.lfHeight != 0) font.Size = MulDiv(std::abs(menu.lfHeight), 72, dpi);
        font.Name = Cp1250FromWide(menu.lfFaceName);
        font.Style = (menu.lfWeight >= FW_BOLD ? unsigned{fsBold} : 0u) | (menu.lfItalic ? unsigned{fsItalic} : 0u);
    }
    if (font.Name == "MS Sans Serif" || font.Name.empty()) font.Name = "Tahoma";
    return font;
}

void TFlatMenuPainter::SetActive(bool active) {
    if (active == active_) return;
    active_ = active;
    if (active_)
        Attach();
    else
        Detach();
}

void TFlatMenuPainter::SetFlatControls(unsigned controls) {
    if (controls == flatControls_) return;
    if (!active_) {
        flatControls_ = controls;
        return;
    }
    Detach();
    flatControls_ = controls;
    Attach();
}

void TFlatMenuPainter::SetFlatContainers(unsigned containers) {
    if (containers == flatContainers_) return;
    if (!active_) {
        flatContainers_ = containers;
        return;
    }
    Detach();
    flatContainers_ = containers;
    Attach();
}

void TFlatMenuPainter::AttachItems(TPopupMenu& menu) {
    menu.OwnerDraw = true;
    for (TMenuItem* item : menu.Items) {
        if (!item->OnDrawItem || OverrideOwnerDraw) item->OnDrawItem = PainterDraw{this};
        if (!item->OnMeasureItem || OverrideOwnerDraw) item->OnMeasureItem = PainterMeasure{this};
    }
}

void TFlatMenuPainter::Attach() {
    if (!Owner() || !(flatControls_ & xcPopupMenu)) return;
    for (int i = 0; i < Owner()->ComponentCount(); ++i)
        if (auto* menu = dynamic_cast<TPopupMenu*>(Owner()->Components(i))) AttachItems(*menu);
}

void TFlatMenuPainter::Detach() {
    if (!Owner()) return;
    for (int i = 0; i < Owner()->ComponentCount(); ++i) {
        auto* menu = dynamic_cast<TPopupMenu*>(Owner()->Components(i));
        if (!menu) continue;
        bool othersPaint = false;
        for (TMenuItem* item : menu->Items) {
            if (IsOwnHandler<PainterDraw>(item->OnDrawItem, this)) item->OnDrawItem = nullptr;
            if (IsOwnHandler<PainterMeasure>(item->OnMeasureItem, this)) item->OnMeasureItem = nullptr;
            othersPaint = othersPaint || item->OnDrawItem || item->OnMeasureItem;
        }
        // Without any painter left the system draws the menu again.
        if (!othersPaint) menu->OwnerDraw = false;
    }
}

TPopupMenu* TFlatMenuPainter::MenuOf(const TMenuItem& item) const {
    if (!Owner()) return nullptr;
    for (int i = 0; i < Owner()->ComponentCount(); ++i) {
        auto* menu = dynamic_cast<TPopupMenu*>(Owner()->Components(i));
        if (menu && std::find(menu->Items.begin(), menu->Items.end(), &item) != menu->Items.end()) return menu;
    }
    return nullptr;
}

FlatMenuColors TFlatMenuPainter::CurrentColors(HDC dc) const {
    GdiColorDevice device(dc);
    if (UseSystemColors) return DeriveMenuColors(device, Font.Color);
    auto plain = [&](TColor color) { return device.Nearest(device.ToRgb(color)); };
    return {plain(Color),        plain(IconBackColor),   plain(SelectColor),  plain(SelectBorderColor),
            plain(SelectFontColor), plain(DisabledColor), plain(SeparatorColor), plain(CheckedColor),
            plain(clWhite),      plain(clWhite)};
}

void TFlatMenuPainter::MeasureItem(TMenuItem& item, Canvas& canvas, int& width, int& height) {
    if (UseSystemColors) Font = SystemMenuFont();
    canvas.SetFont(Font);
    TPopupMenu* menu = MenuOf(item);
    TSize image = HasImage(item, menu) ? menu->Images->ImageSize() : TSize{};
    MeasureMenuItem(canvas, {item.Caption, item.ShortCut}, image, IconWidth, width, height);
}

void TFlatMenuPainter::DrawImage(TMenuItem& item, ImageList& images, HDC dc, TPoint at, bool selected,
                                 const FlatMenuColors& colors, bool highColor) {
    TSize size = images.ImageSize();
    COLORREF under = GetPixel(dc, 2, 2);
    TColor background = under == CLR_INVALID ? colors.IconBack : under;
    PixelBuffer pixels = PaintPixels(dc, size.Width, size.Height, background, [&](HDC surface) {
        GdiCanvas canvas(surface);
        images.Draw(canvas, item.ImageIndex, 0, 0);
    });
    if (!item.Enabled) {
        GreyPixels(pixels, GrayLevel);
    } else if (selected) {
        DrawPixelsTransparent(dc, Silhouette(pixels, Darken(colors.SelectFill, kShadowDarkening)), at.X + 1, at.Y + 1);
        at = {at.X - 1, at.Y - 1};
    } else if (highColor) {
        DimPixels(pixels, DimLevel);
    }
    DrawPixelsTransparent(dc, pixels, at.X, at.Y);
}

void TFlatMenuPainter::DrawItem(TMenuItem& item, Canvas& canvas, const TRect& rect, bool selected) {
    auto* gdi = dynamic_cast<GdiCanvas*>(&canvas);
    if (!gdi) return;
    HDC dc = gdi->Handle();
    if (UseSystemColors) Font = SystemMenuFont();
    FlatMenuColors colors = CurrentColors(dc);
    bool highColor = IsHighColor(GdiColorDevice(dc));
    TPopupMenu* menu = MenuOf(item);
    TSize imageSize = HasImage(item, menu) ? menu->Images->ImageSize() : TSize{};

    TRect r = rect;
    r.Bottom += 1;
    MenuItemLayout layout = LayOutMenuItem(r, IconWidth, imageSize);
    canvas.SetFont(Font);
    canvas.SetBrushColor(colors.MenuBack);
    canvas.FillRect(r);
    canvas.SetBrushColor(colors.IconBack);
    canvas.FillRect(layout.IconColumn);

    if (selected && DrawSelect && item.Enabled) {
        TRect band{r.Left, r.Top + 1, r.Right, r.Bottom - 1};
        canvas.SetBrushColor(colors.SelectFill);
        canvas.FillRect(band);
        canvas.SetBrushColor(clNone);
        canvas.SetPen(colors.SelectBorder, 1);
        canvas.Rectangle(band);
    }
    if (HasImage(item, menu)) DrawImage(item, *menu->Images, dc, layout.Image, selected, colors, highColor);

    if (item.IsSeparator()) {
        canvas.SetPen(colors.Separator, 1);
        canvas.Line({layout.SeparatorLeft, layout.SeparatorY}, {r.Right, layout.SeparatorY});
    } else {
        TFontSpec font = Font;
        font.Color = !item.Enabled ? colors.DisabledText : selected ? colors.SelectedText : Font.Color;
        canvas.SetFont(font);
        canvas.SetBrushColor(clNone);
        TRect caption = MenuCaptionRect(canvas, layout, r);
        canvas.DrawText(" " + item.Caption, caption, tfSingleLine);
        if (!item.ShortCut.empty()) {
            std::string text = item.ShortCut + " ";
            int width = canvas.TextExtent(text).Width;
            int right = r.Right - kShortCutInset;
            canvas.DrawText(text, {right - width, caption.Top, right, caption.Bottom}, tfSingleLine);
        }
    }
    // Items added since the last paint take the look on their next one.
    if (active_ && menu && (flatControls_ & xcPopupMenu)) AttachItems(*menu);
}

}  // namespace brenvik
