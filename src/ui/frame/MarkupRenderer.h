#pragma once
#include <string>
#include <string_view>

#include "ui/canvas/Canvas.h"

namespace brenvik {

class ImageList;
class SystemIcons;
class TMarkupPictureCache;
class TPictureStore;

// Where "<IMG>" and "<BODY BACKGROUND>" pictures come from; any may be absent.
struct MarkupSources {
    TPictureStore* PictureStore = nullptr;
    TMarkupPictureCache* PictureCache = nullptr;
    ImageList* Images = nullptr;
    SystemIcons* Icons = nullptr;
};

struct MarkupOptions {
    TColor ShadowColor = clGray;
    TColor HoverFontColor = clNone;
    TColor HoverColor = clNone;
    TColor URLColor = clBlue;
    double PictureScale = 1.0;
    bool Hover = false;
    bool MeasureOnly = false;
    int ShadowOffset = 2;
    int HoveredAnchor = -1;  // anchors are numbered from 1; -1 = none
    int FocusedAnchor = -1;
    TPoint Point{-1, -1};  // where to look for an anchor
    bool Wrap = true;  // false: one line, a run cut at the edge ends in an ellipsis
};

struct MarkupResult {
    bool AnchorHit = false;
    std::string Anchor;  // address of the anchor under Point
    int AnchorIndex = -1;
    TRect AnchorRect;
    std::string AnchorPicture;  // for a hit on a picture: its ALT text, else its source
    int TextHeight = 0;
    int MaxLineWidth = 0;
    int AnchorCount = 0;
    std::string PlainText;  // markup removed, line breaks as carriage returns
};

// Lays out markup in rect line by line, each line measured and then drawn,
// and tells which anchor lies under options.Point. Keeps no state between
// calls; the canvas's font and brush colour are restored on return.
MarkupResult DrawMarkup(Canvas& canvas, std::string_view markup, const TRect& rect, const MarkupSources& sources,
                        const MarkupOptions& options);

}  // namespace brenvik
