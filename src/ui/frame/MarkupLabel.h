#pragma once
#include <functional>
#include <string>
#include <utility>

#include "ui/canvas/ImageList.h"
#include "ui/frame/MarkupPictureCache.h"
#include "ui/frame/MarkupPictureStore.h"
#include "ui/frame/MarkupRenderer.h"
#include "ui/toolkit/TGraphicControl.h"

namespace brenvik {

enum class TAutoSizeType { asVertical, asHorizontal, asBoth };
enum class TVAlignment { tvaTop, tvaCenter, tvaBottom };
enum class TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
enum class TBorderStyle { bsNone, bsSingle };

// Markup without its tags: "<BR>" and "<HR>" become line breaks.
std::string StripMarkup(const std::string& markup);

// A window-less label that renders markup, with anchors the mouse can hover
// and click. Its text is MarkupText; it has no caption of its own.
class TMarkupLabel : public TGraphicControl, private ImageListObserver, private PictureStoreObserver {
public:
    using AnchorEvent = std::function<void(TMarkupLabel& sender, const std::string& anchor)>;

    TMarkupLabel(ControlHost& host, PictureLoader& loader, SystemIcons* icons = nullptr);
    ~TMarkupLabel() override;

    const std::string& MarkupText() const { return text_; }
    // Carriage returns and line feeds are removed; cached pictures go.
    void SetMarkupText(const std::string& text);

    bool AutoSizing() const { return autoSizing_; }
    void SetAutoSizing(bool autoSizing);
    TAutoSizeType AutoSizeType() const { return autoSizeType_; }
    void SetAutoSizeType(TAutoSizeType type);
    TVAlignment VAlignment() const { return vAlignment_; }
    void SetVAlignment(TVAlignment alignment);
    bool Ellipsis() const { return ellipsis_; }
    void SetEllipsis(bool ellipsis);
    TColor URLColor() const { return urlColor_; }
    void SetURLColor(TColor color);
    void SetShadow(TColor color, int offset);
    void SetHover(bool hover, TColor color, TColor fontColor);
    void SetBevels(TBevelCut inner, TBevelCut outer, int width);
    void SetBorder(TBorderStyle style, int width);
    ImageList* Images() const { return images_; }
    void SetImages(ImageList* images);
    TPictureStore* PictureStore() const { return pictureStore_; }
    void SetPictureStore(TPictureStore* store);
    TMarkupPictureCache& PictureCache() { return cache_; }

    bool AnchorHint = false;
    bool HintShowFull = false;
    bool MarkupHint = false;
    AnchorEvent OnAnchorClick, OnAnchorEnter, OnAnchorExit;
    std::function<void(TMarkupLabel& sender, std::string& anchor)> OnAnchorHint;
    // Opens addresses with "://" or "mailto:" (on Windows: ShellOpenAddress).
    std::function<void(const std::string& address)> OpenAddress;

    // The address of the anchor under point (empty if none) and its
    // rectangle; the anchor becomes the hovered one.
    std::string AnchorAt(TPoint point, TRect& anchorRect);
    int HoveredAnchor() const { return hoveredAnchor_; }
    // The rectangle the text is laid out in and the size the text takes
    // there (its widest line, its lines' height), as Paint lays it out.
    std::pair<TRect, TSize> MeasureText(Canvas& canvas);

    void Paint(Canvas& canvas) override;
    void MouseMove(TPoint point) override;
    void MouseDown(TPoint point) override;
    void MouseLeave() override;
    bool HintAt(TPoint point, THintInfo& hint) override;

private:
    void ImageListChanged(ImageList&) override { Invalidate(); }
    void ImageListDestroyed(ImageList&) override { images_ = nullptr; }
    void PictureStoreDestroyed(TPictureStore&) override { pictureStore_ = nullptr; }
    TRect Inset(TRect rect) const;
    TRect TextRect() const;
    MarkupSources Sources() { return {pictureStore_, &cache_, images_, icons_}; }
    MarkupOptions Options(TPoint point, bool measureOnly) const;
    void AlignVertically(Canvas& canvas, TRect& rect, TPoint point);
    bool SizesHorizontally() const;
    bool SizesVertically() const;

    TMarkupPictureCache cache_;
    SystemIcons* icons_;
    std::string text_;
    bool autoSizing_ = false;
    TAutoSizeType autoSizeType_ = TAutoSizeType::asVertical;
    TVAlignment vAlignment_ = TVAlignment::tvaTop;
    bool ellipsis_ = false;
    TColor urlColor_ = clBlue;
    TColor shadowColor_ = clGray;
    int shadowOffset_ = 2;
    bool hover_ = false;
    TColor hoverColor_ = clNone;
    TColor hoverFontColor_ = clNone;
    TBevelCut bevelInner_ = TBevelCut::bvNone, bevelOuter_ = TBevelCut::bvNone;
    int bevelWidth_ = 1;
    TBorderStyle borderStyle_ = TBorderStyle::bsNone;
    int borderWidth_ = 0;
    ImageList* images_ = nullptr;
    TPictureStore* pictureStore_ = nullptr;
    std::string lastAnchor_;
    int lastAnchorIndex_ = -1;
    TRect lastAnchorRect_;
    int hoveredAnchor_ = -1;
    int widestLine_ = 0;
};

}  // namespace brenvik
