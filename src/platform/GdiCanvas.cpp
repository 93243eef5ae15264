#include "platform/GdiCanvas.h"

#include "platform/Cp1250.h"

namespace brenvik {
namespace {

UINT DrawTextFormat(unsigned flags) {
    UINT format = 0;
    if (flags & tfSingleLine) format |= DT_SINGLELINE;
    if (flags & tfBottom) format |= DT_BOTTOM;
    if (flags & tfExpandTabs) format |= DT_EXPANDTABS;
    if (flags & tfExternalLeading) format |= DT_EXTERNALLEADING;
    if (flags & tfEndEllipsis) format |= DT_END_ELLIPSIS;
    return format;
}

RECT ToRect(const TRect& rect) { return {rect.Left, rect.Top, rect.Right, rect.Bottom}; }

}  // namespace

GdiCanvas::GdiCanvas(HDC dc)
    : dc_(dc),
      originalFont_(GetCurrentObject(dc, OBJ_FONT)),
      originalPen_(GetCurrentObject(dc, OBJ_PEN)),
      originalBrush_(GetCurrentObject(dc, OBJ_BRUSH)) {
    SetBkMode(dc_, TRANSPARENT);
    SetFont(font_);
    SetPen(clBlack, 1);
}

GdiCanvas::~GdiCanvas() {
    while (!savedClips_.empty()) PopClipRect();
    SelectObject(dc_, originalFont_);
    SelectObject(dc_, originalPen_);
    SelectObject(dc_, originalBrush_);
    for (const CachedFont& font : fonts_) DeleteObject(font.Handle);
    if (pen_) DeleteObject(pen_);
    if (brushHandle_) DeleteObject(brushHandle_);
}

void GdiCanvas::SetOrigin(TPoint origin) {
    SetViewportOrgEx(dc_, origin.X, origin.Y, nullptr);
}

HFONT GdiCanvas::FontHandle(const TFontSpec& font) {
    for (const CachedFont& cached : fonts_)
        if (cached.Spec == font) return cached.Handle;
    HFONT handle = CreateFontW(-MulDiv(font.Size, PixelsPerInch(), 72), 0, font.Orientation, font.Orientation,
                               (font.Style & fsBold) ? FW_BOLD : FW_NORMAL, (font.Style & fsItalic) != 0,
                               (font.Style & fsUnderline) != 0, (font.Style & fsStrikeOut) != 0, DEFAULT_CHARSET,
                               OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                               WideFromCp1250(font.Name).c_str());
    fonts_.push_back({font, handle});
    return handle;
}

void GdiCanvas::SetFont(const TFontSpec& font) {
    font_ = font;
    SelectObject(dc_, FontHandle(font));
    SetTextColor(dc_, ColorToRGB(font.Color));
}

void GdiCanvas::SetPen(TColor color, int width) {
    HPEN pen = CreatePen(PS_SOLID, width, ColorToRGB(color));
    SelectObject(dc_, pen);
    if (pen_) DeleteObject(pen_);
    pen_ = pen;
}

HBRUSH GdiCanvas::BrushHandle() {
    if (brush_ == clNone) return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    if (!brushHandle_ || brushMade_ != brush_) {
        if (brushHandle_) DeleteObject(brushHandle_);
        brushHandle_ = CreateSolidBrush(ColorToRGB(brush_));
        brushMade_ = brush_;
    }
    return brushHandle_;
}

TSize GdiCanvas::TextExtent(std::string_view text) {
    std::wstring wide = WideFromCp1250(std::string(text));
    SIZE size{};
    GetTextExtentPoint32W(dc_, wide.c_str(), static_cast<int>(wide.size()), &size);
    return {size.cx, size.cy};
}

void GdiCanvas::DrawText(std::string_view text, const TRect& rect, unsigned flags) {
    std::wstring wide = WideFromCp1250(std::string(text));
    RECT r = ToRect(rect);
    if (brush_ == clNone) {
        SetBkMode(dc_, TRANSPARENT);
    } else {
        SetBkMode(dc_, OPAQUE);
        SetBkColor(dc_, ColorToRGB(brush_));
    }
    ::DrawTextW(dc_, wide.c_str(), static_cast<int>(wide.size()), &r, DrawTextFormat(flags));
    SetBkMode(dc_, TRANSPARENT);
}

void GdiCanvas::FillRect(const TRect& rect) {
    if (brush_ == clNone) return;
    RECT r = ToRect(rect);
    ::FillRect(dc_, &r, BrushHandle());
}

void GdiCanvas::Rectangle(const TRect& rect) {
    SelectObject(dc_, BrushHandle());
    ::Rectangle(dc_, rect.Left, rect.Top, rect.Right, rect.Bottom);
}

void GdiCanvas::Polyline(std::span<const TPoint> points) {
    std::vector<POINT> gdiPoints;
    gdiPoints.reserve(points.size());
    for (const TPoint& p : points) gdiPoints.push_back({p.X, p.Y});
    ::Polyline(dc_, gdiPoints.data(), static_cast<int>(gdiPoints.size()));
}

void GdiCanvas::DrawFocusRect(const TRect& rect) {
    RECT r = ToRect(rect);
    ::DrawFocusRect(dc_, &r);
}

void GdiCanvas::PushClipRect(const TRect& rect) {
    HRGN saved = CreateRectRgn(0, 0, 0, 0);
    if (GetClipRgn(dc_, saved) != 1) {
        DeleteObject(saved);
        saved = nullptr;
    }
    savedClips_.push_back(saved);
    IntersectClipRect(dc_, rect.Left, rect.Top, rect.Right, rect.Bottom);
}

void GdiCanvas::PopClipRect() {
    if (savedClips_.empty()) return;
    HRGN saved = savedClips_.back();
    savedClips_.pop_back();
    SelectClipRgn(dc_, saved);
    if (saved) DeleteObject(saved);
}

int GdiCanvas::PixelsPerInch() const { return GetDeviceCaps(dc_, LOGPIXELSY); }

TColor GdiCanvas::ColorToRGB(TColor color) const {
    if (IsSystemColor(color)) return GetSysColor(SystemColorIndex(color));
    return color == clNone ? clWhite : color & 0xFFFFFF;
}

}  // namespace brenvik
