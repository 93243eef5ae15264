#pragma once
// The per-line worker of the markup renderer and the state it carries from
// line to line within one DrawMarkup call.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/frame/MarkupRenderer.h"

namespace brenvik {

enum class MarkupAlign { Left, Center, Right };

struct MarkupState {
    TFontSpec Font;
    TFontSpec BaseFont;  // what </FONT> returns to
    std::optional<int> SavedOrientation;  // before <R>
    TColor Brush = clNone;
    std::optional<TColor> FontSavedBrush;
    std::optional<TColor> HighlightSavedBrush, HighlightSavedText;
    std::optional<TColor> AnchorSavedBrush, AnchorSavedText;
    MarkupAlign Align = MarkupAlign::Left;
    int Indent = 0;
    bool ParagraphBackground = false;
    TColor ParagraphColor = clNone;
    TColor ParagraphColorTo = clNone;  // clNone: a plain band, else a gradient
    int ListLevel = 0;
    bool Subscript = false, Superscript = false, Shadow = false, Hidden = false, ErrorMark = false;
    int AnchorCounter = 0;
    bool InAnchor = false;
    std::string AnchorAddress;
};

// An anchor's share of a line, in x relative to the line's start.
struct AnchorPiece {
    int Index = 0;
    std::string Address;
    int Left = 0, Right = 0;
    int PictureHeight = 0;  // 0: a text run
    std::string PictureText;  // a picture's ALT text, else its source
};

struct AnchorEnd {
    int Index = 0;
    int Left = 0, Right = 0;  // Left is 0 when the anchor began on an earlier line
};

struct MarkupLineLayout {
    size_t Consumed = 0;  // bytes of the text that make up this line
    bool DropRest = false;  // the ellipsis mode cut the text after this line
    int Width = 0;
    int Height = 0;
    int SubscriptExtra = 0;
    int SuperscriptExtra = 0;
    int PictureOffset = 0;
    std::vector<AnchorPiece> AnchorPieces;
    std::vector<AnchorEnd> AnchorEnds;
};

// Where the drawing pass puts a measured line.
struct MarkupLinePlace {
    int X = 0;  // start of the line
    TRect Band;  // the line's rectangle, from the rectangle's left to right edge
    int Baseline = 0;  // bottom of ordinary runs
    int PictureOffset = 0;
};

struct MarkupCall {
    Canvas& Canvas_;
    const TRect& Rect;
    const MarkupSources& Sources;
    const MarkupOptions& Options;
    unsigned TextFlags = 0;
    TColor InitialBrush = clNone;
    int BaseHeight = 0;  // of "gh" in the font at the start of the current line
    MarkupResult& Result;
};

// Fills a line's band with the paragraph colour or gradient.
void PaintParagraphBand(Canvas& canvas, const MarkupState& state, const TRect& band);

// Measures (place == nullptr) or draws one line from the start of text.
// Measuring consumes the text of one line and adds its runs to the plain
// text; drawing takes exactly the measured line's text.
MarkupLineLayout DrawMarkupLine(MarkupCall& call, MarkupState& state, std::string_view text,
                                const MarkupLinePlace* place);

}  // namespace brenvik
