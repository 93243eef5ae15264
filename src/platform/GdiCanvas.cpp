#include "platform/GdiCanvas.h"

#include <algorithm>

#include "platform/Cp1250.h"
#include "platform/GdiFonts.h"

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

constexpr size_t kMaxCachedExtents = 4096;

}  // namespace

GdiCanvas::GdiCanvas(HDC dc)
    : dc_(dc),
      originalFont_(GetCurrentObject(dc, OBJ_FONT)),
      originalPen_(GetCurrentObject(dc, OBJ_PEN)),
      originalBrush_(GetCurrentObject(dc, OBJ_BRUSH)) {
    SetBkMode(dc_, TRANSPARENT);
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

namespace {

bool SameFace(const TFontSpec& a, const TFontSpec& b) {
    return a.Size == b.Size && a.Height == b.Height && a.Style == b.Style && a.Orientation == b.Orientation && a.Name == b.Name;
}

}  // namespace

GdiCanvas::CachedFont& GdiCanvas::CurrentFont() {
    if (current_ < fonts_.size() && SameFace(fonts_[current_].Font, font_)) return fonts_[current_];
    for (size_t i = 0; i < fonts_.size(); ++i) {
        if (SameFace(fonts_[i].Font, font_)) {
            current_ = i;
            return fonts_[i];
        }
    }
    HFONT handle = CreateFontFor(font_, PixelsPerInch());
    fonts_.push_back({font_, handle, {}});
    current_ = fonts_.size() - 1;
    return fonts_.back();
}

void GdiCanvas::Realize() {
    HFONT handle = CurrentFont().Handle;
    if (handle != selected_) {
        SelectObject(dc_, handle);
        selected_ = handle;
    }
    if (font_.Color != textColor_) {
        SetTextColor(dc_, ColorToRGB(font_.Color));
        textColor_ = font_.Color;
    }
}

void GdiCanvas::SetFont(const TFontSpec& font) { font_ = font; }

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
    auto& extents = CurrentFont().Extents;
    std::string key(text);
    if (auto found = extents.find(key); found != extents.end()) return found->second;
    std::wstring wide = WideFromCp1250(key);
    SIZE size{};
    Realize();
    GetTextExtentPoint32W(dc_, wide.c_str(), static_cast<int>(wide.size()), &size);
    if (extents.size() >= kMaxCachedExtents) extents.clear();
    return extents[key] = {size.cx, size.cy};
}

void GdiCanvas::DrawText(std::string_view text, const TRect& rect, unsigned flags) {
    std::wstring wide = WideFromCp1250(std::string(text));
    RECT r = ToRect(rect);
    Realize();
    bool opaque = brush_ != clNone;
    if (opaque) SetBkColor(dc_, ColorToRGB(brush_));
    // A bottom-aligned single line without prefixes, tabs or an ellipsis is
    // what ExtTextOut draws, at a fraction of DrawText's cost.
    bool plain = (flags & (tfSingleLine | tfBottom)) == (tfSingleLine | tfBottom) && !(flags & tfEndEllipsis) &&
                 font_.Orientation == 0 &&
                 text.find_first_of("&\t") == std::string_view::npos;
    if (plain) {
        TSize extent = TextExtent(text);
        RECT cell{r.left, r.bottom - extent.Height, std::min<LONG>(r.left + extent.Width, r.right), r.bottom};
        IntersectRect(&cell, &cell, &r);
        ExtTextOutW(dc_, r.left, r.bottom - extent.Height, ETO_CLIPPED | (opaque ? ETO_OPAQUE : 0), &cell, wide.c_str(),
                    static_cast<UINT>(wide.size()), nullptr);
        return;
    }
    SetBkMode(dc_, opaque ? OPAQUE : TRANSPARENT);
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
