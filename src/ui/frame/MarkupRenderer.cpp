#include "ui/frame/MarkupRenderer.h"

#include <algorithm>

#include "ui/frame/MarkupEntities.h"
#include "ui/frame/MarkupLine.h"

namespace brenvik {
namespace {

std::string PrepareMarkup(std::string_view markup) {
    std::string text(markup);
    ReplaceMarkupEntities(text);
    size_t hash = text.find("<#");
    if (hash != std::string::npos) {
        size_t close = text.find('>', hash);
        if (close != std::string::npos) text.erase(close, 1);
        text.erase(hash, 1);
    }
    std::erase(text, '\n');
    for (size_t at = text.find('\r'); at != std::string::npos; at = text.find('\r', at + 4)) text.replace(at, 1, "<BR>");
    return text;
}

int LineStart(const TRect& rect, int width, MarkupAlign align) {
    int free = rect.Width() - width;
    if (align == MarkupAlign::Right && free > 0) return rect.Right - width;
    if (align == MarkupAlign::Center && free > 0) return rect.Left + free / 2;
    return rect.Left;
}

int BaseHeight(Canvas& canvas, const TFontSpec& font) {
    canvas.SetFont(font);
    return canvas.TextExtent("gh").Height;
}

// Anchor search over one measured line; hitIndex carries a hit whose </A>
// has not been reached yet to the following lines.
void FindAnchor(const MarkupOptions& options, const MarkupLineLayout& line, const MarkupLinePlace& place,
                int baseHeight, int& hitIndex, MarkupResult& result) {
    TPoint point = options.Point;
    for (const AnchorPiece& piece : line.AnchorPieces) {
        if (result.AnchorHit) break;
        if (piece.Address.empty()) continue;
        int left = place.X + piece.Left, right = place.X + piece.Right;
        bool hit;
        if (piece.PictureHeight == 0) {
            int bottom = place.Baseline - place.PictureOffset;
            hit = point.X >= left && point.X < right && point.Y > bottom - baseHeight && point.Y < bottom;
        } else {
            hit = TRect{left, place.Baseline - piece.PictureHeight, right, place.Baseline}.ContainsStrictly(point);
        }
        if (hit) {
            result.AnchorHit = true;
            result.Anchor = piece.Address;
            result.AnchorPicture = piece.PictureText;
            hitIndex = piece.Index;
        }
    }
    for (const AnchorEnd& end : line.AnchorEnds) {
        if (end.Index != hitIndex) continue;
        result.AnchorIndex = end.Index;
        result.AnchorRect = {place.X + end.Left, place.Band.Top, place.X + end.Right, place.Band.Bottom};
        hitIndex = 0;
    }
}

}  // namespace

MarkupResult DrawMarkup(Canvas& canvas, std::string_view markup, const TRect& rect, const MarkupSources& sources,
                        const MarkupOptions& options) {
    MarkupResult result;
    const TFontSpec savedFont = canvas.Font();
    const TColor savedBrush = canvas.BrushColor();
    canvas.SetBrushColor(clNone);
    unsigned flags = tfSingleLine | tfBottom | tfExpandTabs | tfExternalLeading | (options.Wrap ? 0u : unsigned{tfEndEllipsis});
    MarkupCall call{canvas, rect, sources, options, flags, savedBrush, 0, result};
    MarkupState state;
    state.Font = state.BaseFont = savedFont;

    std::string text = PrepareMarkup(markup);
    std::string_view rest(text);
    int y = rect.Top;
    int hitIndex = 0;
    call.BaseHeight = BaseHeight(canvas, state.Font);
    int firstBaseHeight = call.BaseHeight;
    while (!rest.empty()) {
        call.BaseHeight = BaseHeight(canvas, state.Font);
        MarkupState lineStart = state;
        MarkupLineLayout line = DrawMarkupLine(call, state, rest, nullptr);
        if (line.Consumed == 0) line.Consumed = rest.size();  // every line takes some text
        int height = line.Height + line.SubscriptExtra + line.SuperscriptExtra;
        MarkupLinePlace place{LineStart(rect, line.Width, state.Align) + state.Indent,
                              {rect.Left, y, rect.Right, y + height},
                              y + line.SuperscriptExtra + line.Height,
                              line.PictureOffset};
        FindAnchor(options, line, place, call.BaseHeight, hitIndex, result);
        if (!options.MeasureOnly) {
            state = lineStart;
            if (state.ParagraphBackground) PaintParagraphBand(canvas, state, place.Band);
            DrawMarkupLine(call, state, rest.substr(0, line.Consumed), &place);
        }
        result.MaxLineWidth = std::max(result.MaxLineWidth, line.Width);
        y += height;
        result.TextHeight += height;
        rest.remove_prefix(line.Consumed);
        if (line.DropRest) rest = {};
        if (!options.MeasureOnly && y + BaseHeight(canvas, state.Font) > rect.Bottom) break;
    }
    result.TextHeight = std::max(result.TextHeight, firstBaseHeight);
    result.AnchorCount = state.AnchorCounter;
    canvas.SetFont(savedFont);
    canvas.SetBrushColor(savedBrush);
    return result;
}

}  // namespace brenvik
