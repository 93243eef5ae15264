#include "ui/frame/MarkupLabel.h"

#include <algorithm>

#include "ui/canvas/CanvasShapes.h"
#include "ui/frame/MarkupTags.h"

namespace brenvik {
namespace {

// Layout room for auto-sizing: as good as unlimited.
constexpr int kUnlimited = 65535;
constexpr int kAutoSizeMargin = 6;

void Bevel(Canvas& canvas, TRect& rect, TBevelCut cut, int width) {
    if (cut == TBevelCut::bvLowered)
        Frame3D(canvas, rect, clBtnShadow, clBtnHighlight, width);
    else
        Frame3D(canvas, rect, clBtnHighlight, clBtnShadow, width);
}

}  // namespace

std::string StripMarkup(const std::string& markup) {
    std::string plain;
    for (size_t at = 0; at < markup.size();) {
        if (markup[at] != '<') {
            plain += markup[at++];
            continue;
        }
        size_t close = markup.find('>', at);
        if (close == std::string::npos) break;
        std::string name = UpperAscii(markup.substr(at + 1, 2));
        if (name == "BR" || name == "HR") plain += "\r\n";
        at = close + 1;
    }
    return plain;
}

TMarkupLabel::TMarkupLabel(ControlHost& host, PictureLoader& loader, SystemIcons* icons)
    : TGraphicControl(host), cache_(loader), icons_(icons) {}

TMarkupLabel::~TMarkupLabel() {
    SetImages(nullptr);
    SetPictureStore(nullptr);
}

void TMarkupLabel::SetMarkupText(const std::string& text) {
    text_ = text;
    std::erase(text_, '\r');
    std::erase(text_, '\n');
    cache_.ClearPictures();
    Invalidate();
}

void TMarkupLabel::SetAutoSizing(bool autoSizing) {
    autoSizing_ = autoSizing;
    if (autoSizing) {
        TRect bounds = BoundsRect();
        if (Align == TAlign::alLeft || Align == TAlign::alRight) bounds.Right = bounds.Left + kAutoSizeMargin;
        if (Align == TAlign::alTop || Align == TAlign::alBottom) bounds.Bottom = bounds.Top + kAutoSizeMargin;
        SetBounds(bounds);
    }
    Invalidate();
}

void TMarkupLabel::SetAutoSizeType(TAutoSizeType type) {
    autoSizeType_ = type;
    SetAutoSizing(autoSizing_);
}

void TMarkupLabel::SetVAlignment(TVAlignment alignment) {
    if (alignment == vAlignment_) return;
    vAlignment_ = alignment;
    Invalidate();
}

void TMarkupLabel::SetEllipsis(bool ellipsis) {
    if (ellipsis == ellipsis_) return;
    ellipsis_ = ellipsis;
    Invalidate();
}

void TMarkupLabel::SetURLColor(TColor color) {
    if (color == urlColor_) return;
    urlColor_ = color;
    Invalidate();
}

void TMarkupLabel::SetShadow(TColor color, int offset) {
    shadowColor_ = color;
    shadowOffset_ = offset;
    Invalidate();
}

void TMarkupLabel::SetHover(bool hover, TColor color, TColor fontColor) {
    hover_ = hover;
    hoverColor_ = color;
    hoverFontColor_ = fontColor;
    Invalidate();
}

void TMarkupLabel::SetBevels(TBevelCut inner, TBevelCut outer, int width) {
    bevelInner_ = inner;
    bevelOuter_ = outer;
    bevelWidth_ = width;
    Invalidate();
}

void TMarkupLabel::SetBorder(TBorderStyle style, int width) {
    borderStyle_ = style;
    borderWidth_ = width;
    Invalidate();
}

void TMarkupLabel::SetImages(ImageList* images) {
    if (images_) images_->Unsubscribe(*this);
    images_ = images;
    if (images_) images_->Subscribe(*this);
    Invalidate();
}

void TMarkupLabel::SetPictureStore(TPictureStore* store) {
    if (pictureStore_) pictureStore_->Unsubscribe(*this);
    pictureStore_ = store;
    if (pictureStore_) pictureStore_->Subscribe(*this);
    Invalidate();
}

// rect less the bevels' and the single border's widths.
TRect TMarkupLabel::Inset(TRect rect) const {
    if (bevelInner_ != TBevelCut::bvNone || bevelOuter_ != TBevelCut::bvNone) rect = rect.Inflated(-bevelWidth_);
    if (borderStyle_ == TBorderStyle::bsSingle) rect = rect.Inflated(-borderWidth_);
    return rect;
}

MarkupOptions TMarkupLabel::Options(TPoint point, bool measureOnly) const {
    MarkupOptions options;
    options.ShadowColor = shadowColor_;
    options.HoverFontColor = hoverFontColor_;
    options.HoverColor = hoverColor_;
    options.URLColor = urlColor_;
    options.Hover = hover_;
    options.MeasureOnly = measureOnly;
    options.ShadowOffset = shadowOffset_;
    options.HoveredAnchor = hoveredAnchor_;
    options.Point = point;
    options.Wrap = !ellipsis_;
    return options;
}

void TMarkupLabel::AlignVertically(Canvas& canvas, TRect& rect, TPoint point) {
    if (vAlignment_ == TVAlignment::tvaTop) return;
    int height = DrawMarkup(canvas, text_, rect, Sources(), Options(point, true)).TextHeight;
    if (height >= Height()) return;
    if (vAlignment_ == TVAlignment::tvaCenter)
        rect.Top += (rect.Height() - height) / 2;
    else
        rect.Top = rect.Bottom - height;
}

bool TMarkupLabel::SizesHorizontally() const {
    return autoSizing_ && (Align == TAlign::alNone || Align == TAlign::alLeft || Align == TAlign::alRight) &&
           autoSizeType_ != TAutoSizeType::asVertical;
}

bool TMarkupLabel::SizesVertically() const {
    return autoSizing_ && (Align == TAlign::alNone || Align == TAlign::alTop || Align == TAlign::alBottom) &&
           autoSizeType_ != TAutoSizeType::asHorizontal;
}

void TMarkupLabel::Paint(Canvas& canvas) {
    canvas.PushClipRect(ClientRect());
    TGraphicControl::Paint(canvas);
    TRect rect = ClientRect();
    if (bevelOuter_ != TBevelCut::bvNone) Bevel(canvas, rect, bevelOuter_, bevelWidth_);
    Frame3D(canvas, rect, Color, Color, borderWidth_);
    if (bevelInner_ != TBevelCut::bvNone) Bevel(canvas, rect, bevelInner_, bevelWidth_);
    if (borderStyle_ == TBorderStyle::bsSingle && borderWidth_ != 0) {
        canvas.SetPen(clBlack, borderWidth_);
        canvas.SetBrushColor(clNone);
        canvas.Rectangle(rect);
    }
    // The text goes inside the frames just drawn, inset once more; the
    // anchor search below insets the bare client rectangle only.
    rect = Inset(rect);
    canvas.SetBrushColor(Color);
    canvas.SetFont(Font);
    if (SizesHorizontally()) rect.Right += kUnlimited;
    if (SizesVertically()) rect.Bottom += kUnlimited;
    TPoint mouse = MousePos();
    AlignVertically(canvas, rect, mouse);
    MarkupResult result = DrawMarkup(canvas, text_, rect, Sources(), Options(mouse, false));
    widestLine_ = result.MaxLineWidth;
    canvas.PopClipRect();

    TRect bounds = BoundsRect();
    if (SizesVertically() && Height() != result.TextHeight + kAutoSizeMargin)
        bounds.Bottom = bounds.Top + result.TextHeight + kAutoSizeMargin;
    if (SizesHorizontally() && Width() != widestLine_ + kAutoSizeMargin)
        bounds.Right = bounds.Left + widestLine_ + kAutoSizeMargin;
    SetBounds(bounds);
}

TRect TMarkupLabel::TextRect() const {
    // Where Paint puts the text: inside each frame ring it draws, inset once more.
    int frames = borderWidth_;
    if (bevelOuter_ != TBevelCut::bvNone) frames += bevelWidth_;
    if (bevelInner_ != TBevelCut::bvNone) frames += bevelWidth_;
    return Inset(ClientRect().Inflated(-frames));
}

std::pair<TRect, TSize> TMarkupLabel::MeasureText(Canvas& canvas) {
    canvas.SetFont(Font);
    TRect rect = TextRect();
    MarkupResult result = DrawMarkup(canvas, text_, rect, Sources(), Options({-1, -1}, true));
    return {rect, {result.MaxLineWidth, result.TextHeight}};
}

std::string TMarkupLabel::AnchorAt(TPoint point, TRect& anchorRect) {
    Canvas& canvas = Host().MeasureCanvas();
    TFontSpec saved = canvas.Font();
    canvas.SetFont(Font);
    TRect rect = Inset(ClientRect());
    AlignVertically(canvas, rect, point);
    MarkupResult result = DrawMarkup(canvas, text_, rect, Sources(), Options(point, true));
    canvas.SetFont(saved);
    anchorRect = result.AnchorRect;
    hoveredAnchor_ = result.AnchorHit ? result.AnchorIndex : -1;
    return result.Anchor;
}

void TMarkupLabel::MouseMove(TPoint point) {
    int previousHover = hoveredAnchor_;
    TRect rect;
    std::string anchor = AnchorAt(point, rect);
    if (!anchor.empty()) {
        if ((anchor != lastAnchor_ || rect != lastAnchorRect_ || previousHover == -1) && hover_)
            InvalidateRect(lastAnchorRect_);
        if (Cursor() != TCursor::crHandPoint || anchor != lastAnchor_ || hoveredAnchor_ != lastAnchorIndex_) {
            if (AnchorHint) Host().CancelHint();
            SetCursor(TCursor::crHandPoint);
            if (OnAnchorEnter) OnAnchorEnter(*this, anchor);
            if (hover_) InvalidateRect(rect.Empty() ? ClientRect() : rect);
        }
        lastAnchor_ = anchor;
        lastAnchorIndex_ = hoveredAnchor_;
        lastAnchorRect_ = rect;
        InvalidateRect(rect);
    } else if (Cursor() == TCursor::crHandPoint) {
        SetCursor(TCursor::crDefault);
        if (OnAnchorExit) OnAnchorExit(*this, "");
        if (hover_) InvalidateRect(lastAnchorRect_.Empty() ? ClientRect() : lastAnchorRect_);
        lastAnchor_.clear();
    }
}

void TMarkupLabel::MouseDown(TPoint point) {
    TGraphicControl::MouseDown(point);
    TRect rect;
    std::string anchor = AnchorAt(point, rect);
    if (anchor.empty()) return;
    if (anchor.find("://") != std::string::npos || anchor.find("mailto:") != std::string::npos) {
        if (OpenAddress) OpenAddress(anchor);
    } else if (OnAnchorClick) {
        OnAnchorClick(*this, anchor);
    }
}

void TMarkupLabel::MouseLeave() {
    if (hover_ && hoveredAnchor_ != -1) InvalidateRect(lastAnchorRect_);
    hoveredAnchor_ = -1;
    TGraphicControl::MouseLeave();
}

bool TMarkupLabel::HintAt(TPoint point, THintInfo& hint) {
    if (AnchorHint) {
        TRect rect;
        std::string anchor = AnchorAt(point, rect);
        if (!anchor.empty()) {
            if (OnAnchorHint) OnAnchorHint(*this, anchor);
            hint = {anchor, {point.X + 10, point.Y - 10}};
            return true;
        }
    }
    if (HintShowFull) {
        hint = {MarkupHint ? text_ : StripMarkup(text_), point};
        return true;
    }
    return false;
}

}  // namespace brenvik
