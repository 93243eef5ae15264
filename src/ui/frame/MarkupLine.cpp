#include "ui/frame/MarkupLine.h"

#include <algorithm>
#include <cmath>

#include "base/Text.h"
#include "ui/canvas/CanvasShapes.h"
#include "ui/frame/MarkupColors.h"
#include "ui/frame/MarkupEntities.h"
#include "ui/frame/MarkupImages.h"
#include "ui/frame/MarkupPicture.h"
#include "ui/frame/MarkupTags.h"

namespace brenvik {
namespace {

constexpr int kBulletStep = 12;
constexpr int kGradientSteps = 64;
// Indents, positions and angles beyond this are read as invalid numbers.
constexpr int kLargestNumber = 100000;

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

std::optional<int> NumberValue(const std::optional<std::string>& value) {
    int number = 0;
    if (!value || !TryParseInt32(*value, number) || number > kLargestNumber || number < -kLargestNumber)
        return std::nullopt;
    return number;
}

// The first double-quoted value after the first occurrence of a letter.
std::optional<int> NumberAfterLetter(const std::string& upperTag, char letter) {
    size_t at = upperTag.find(letter);
    if (at == std::string::npos) return std::nullopt;
    return NumberValue(QuotedValueAfter(upperTag, at + 1));
}

class LineWorker {
public:
    LineWorker(MarkupCall& call, MarkupState& state, const MarkupLinePlace* place)
        : call_(call), canvas_(call.Canvas_), options_(call.Options), state_(state), place_(place) {}

    MarkupLineLayout Run(std::string_view text);

private:
    enum class Flow { Continue, EndAfter, EndBefore, DropRest };

    bool Drawing() const { return place_ != nullptr; }
    int Absolute(int x) const { return place_->X + x; }

    Flow TextRun(std::string_view raw);
    void DrawRun(const std::string& run, TSize extent);
    void DrawErrorMark(int left, int right, int bottom);
    Flow Tag(std::string_view tag);
    Flow OpeningTag(std::string_view tag, const std::string& upper, std::string_view name, char second, bool alone);
    Flow ClosingTag(std::string_view name, char second, bool alone);
    void AnchorStart(std::string_view tag);
    void AnchorFinish();
    void Body(std::string_view tag, const std::string& upper);
    void Font(std::string_view tag, const std::string& upper);
    void FontFinish();
    void Paragraph(const std::string& upper);
    Flow Bullet();
    Flow Picture(std::string_view tag, const std::string& upper);
    void SetStyle(unsigned style, bool on) {
        state_.Font.Style = on ? (state_.Font.Style | style) : (state_.Font.Style & ~style);
    }

    MarkupCall& call_;
    Canvas& canvas_;
    const MarkupOptions& options_;
    MarkupState& state_;
    const MarkupLinePlace* place_;
    MarkupLineLayout line_;
    int x_ = 0;  // from the line's start; also the width laid out so far
    bool anyRun_ = false;
    bool endsWithSpace_ = false;
    int trailingSpace_ = 0;
    bool bulletOnLine_ = false;
    int anchorStart_ = 0;
};

MarkupLineLayout LineWorker::Run(std::string_view text) {
    size_t at = 0;
    while (at < text.size()) {
        if (text[at] != '<') {
            size_t end = std::min(text.find('<', at), text.size());
            if (options_.Wrap) {
                size_t space = text.find(' ', at);
                if (space < end) end = space + 1;
            }
            Flow flow = TextRun(text.substr(at, end - at));
            if (flow == Flow::EndBefore) break;
            at = end;
            if (flow == Flow::DropRest) {
                line_.DropRest = true;
                break;
            }
            continue;
        }
        size_t close = text.find('>', at);
        if (close == std::string_view::npos) {  // an unterminated tag drops the rest
            at = text.size();
            break;
        }
        Flow flow = Tag(text.substr(at + 1, close - at - 1));
        if (flow == Flow::EndBefore) break;
        at = close + 1;
        if (flow == Flow::EndAfter) break;
    }
    line_.Consumed = at;
    line_.Width = x_ - trailingSpace_;
    return line_;
}

LineWorker::Flow LineWorker::TextRun(std::string_view raw) {
    std::string run = ReplaceRunEntities(raw);
    std::string& plain = call_.Result.PlainText;
    size_t plainBefore = plain.size();
    if (!Drawing()) plain += run;
    if (state_.Hidden || run.empty()) return Flow::Continue;
    canvas_.SetFont(state_.Font);
    TSize extent = canvas_.TextExtent(run);
    Flow flow = Flow::Continue;
    if (Drawing()) {
        DrawRun(run, extent);
    } else {
        // A word never breaks where tags split it, and a run at least as
        // wide as the rectangle stays where it is: no line would hold it.
        int width = call_.Rect.Width();
        bool fits = x_ + extent.Width < width || extent.Width >= width || !endsWithSpace_;
        if (!fits && options_.Wrap) {
            plain.resize(plainBefore);
            return Flow::EndBefore;
        }
        if (!options_.Wrap && anyRun_ && x_ + extent.Width >= width) flow = Flow::DropRest;
        line_.Height = std::max(line_.Height, extent.Height);
        if (state_.Subscript) line_.SubscriptExtra = std::max(line_.SubscriptExtra, extent.Height / 4);
        if (state_.Superscript) line_.SuperscriptExtra = std::max(line_.SuperscriptExtra, extent.Height / 4);
        if (state_.InAnchor)
            line_.AnchorPieces.push_back({state_.AnchorCounter, state_.AnchorAddress, x_, x_ + extent.Width, 0, {}});
        endsWithSpace_ = raw.back() == ' ';
        trailingSpace_ = endsWithSpace_ ? canvas_.TextExtent(" ").Width : 0;
    }
    x_ += extent.Width;
    anyRun_ = true;
    return flow;
}

void LineWorker::DrawRun(const std::string& run, TSize extent) {
    int bottom = place_->Baseline - place_->PictureOffset;
    if (state_.Superscript) bottom -= extent.Height / 4;
    if (state_.Subscript) bottom += extent.Height / 4;
    int left = Absolute(x_);
    TRect rect{left, bottom - extent.Height, std::min(left + extent.Width, call_.Rect.Right), bottom};
    canvas_.SetBrushColor(state_.Brush);
    if (state_.Shadow) {
        TFontSpec shadow = state_.Font;
        shadow.Color = options_.ShadowColor;
        canvas_.SetFont(shadow);
        int offset = options_.ShadowOffset;
        canvas_.DrawText(run, {rect.Left + offset, rect.Top + offset, rect.Right + offset, rect.Bottom + offset},
                         call_.TextFlags);
        canvas_.SetFont(state_.Font);
    }
    canvas_.DrawText(run, rect, call_.TextFlags);
    if (state_.ErrorMark) DrawErrorMark(left, left + extent.Width, bottom - 1);
}

// A zigzag whose phase follows x modulo 4, so that the marks of adjacent
// runs join.
void LineWorker::DrawErrorMark(int left, int right, int bottom) {
    std::vector<TPoint> points;
    for (int x = left - (((left % 2) + 2) % 2); x <= right; x += 2)
        points.push_back({x, bottom - ((((x % 4) + 4) % 4) == 0 ? 2 : 0)});
    canvas_.SetPen(clRed, 1);
    canvas_.Polyline(points);
}

LineWorker::Flow LineWorker::Tag(std::string_view tag) {
    std::string upper = UpperAscii(tag);
    bool closing = !upper.empty() && upper[0] == '/';
    std::string_view name = std::string_view(upper).substr(closing ? 1 : 0);
    if (name.empty()) return Flow::Continue;
    char second = name.size() > 1 ? name[1] : '\0';
    bool alone = !IsLetter(second);  // the name is this one letter
    return closing ? ClosingTag(name, second, alone) : OpeningTag(tag, upper, name, second, alone);
}

LineWorker::Flow LineWorker::OpeningTag(std::string_view tag, const std::string& upper, std::string_view name,
                                        char second, bool alone) {
    switch (name[0]) {
    case 'A':
        AnchorStart(tag);
        break;
    case 'B':
        if (second == 'R') {
            if (!Drawing()) call_.Result.PlainText += '\r';
            return Flow::EndAfter;
        }
        if (second == 'L')
            state_.Font.Color = call_.InitialBrush;
        else if (second == 'O')
            Body(tag, upper);
        else
            SetStyle(fsBold, true);
        break;
    case 'E':
        state_.ErrorMark = true;
        break;
    case 'F':
        Font(tag, upper);
        break;
    case 'H':
        if (second == 'R') {
            if (Drawing()) {
                canvas_.SetPen(clBlack, 1);
                canvas_.Line({call_.Rect.Left, place_->Band.Bottom}, {call_.Rect.Right, place_->Band.Bottom});
            }
            return Flow::EndAfter;
        }
        if (second == 'I') {
            if (!state_.HighlightSavedText) {
                state_.HighlightSavedText = state_.Font.Color;
                state_.HighlightSavedBrush = state_.Brush;
            }
            state_.Brush = clHighlight;
            state_.Font.Color = clHighlightText;
        }
        break;
    case 'I':
        if (second == 'N') {
            auto indent = NumberAfterLetter(upper, 'X');
            if (indent && *indent > x_) x_ = *indent;
        } else if (second == 'M') {
            return Picture(tag, upper);
        } else {
            SetStyle(fsItalic, true);
        }
        break;
    case 'L':
        return Bullet();
    case 'P':
        Paragraph(upper);
        break;
    case 'R':
        if (auto angle = NumberAfterLetter(upper, 'A')) {
            if (!state_.SavedOrientation) state_.SavedOrientation = state_.Font.Orientation;
            state_.Font.Orientation = *angle * 10;
        }
        break;
    case 'S':
        if (second == 'H')
            state_.Shadow = true;
        else if (second == 'U' && name.size() > 2 && name[2] == 'B')
            state_.Subscript = true;
        else if (second == 'U' && name.size() > 2 && name[2] == 'P')
            state_.Superscript = true;
        else if (second != 'U')
            SetStyle(fsStrikeOut, true);
        break;
    case 'U':
        if (alone) {
            SetStyle(fsUnderline, true);
            break;
        }
        ++state_.ListLevel;
        return Flow::EndAfter;
    case 'Z':
        state_.Hidden = true;
        break;
    default:
        break;
    }
    return Flow::Continue;
}

LineWorker::Flow LineWorker::ClosingTag(std::string_view name, char second, bool alone) {
    switch (name[0]) {
    case 'A':
        AnchorFinish();
        break;
    case 'B':
        if (alone)
            SetStyle(fsBold, false);
        else
            state_.Font.Color = state_.BaseFont.Color;
        break;
    case 'E':
        state_.ErrorMark = false;
        break;
    case 'F':
        FontFinish();
        break;
    case 'H':
        if (state_.HighlightSavedText) {
            state_.Font.Color = *state_.HighlightSavedText;
            state_.Brush = *state_.HighlightSavedBrush;
            state_.HighlightSavedText.reset();
            state_.HighlightSavedBrush.reset();
        }
        break;
    case 'I':
        if (alone) SetStyle(fsItalic, false);
        break;
    case 'L':
        return Flow::EndAfter;
    case 'P':
        state_.ParagraphBackground = false;
        return Flow::EndAfter;
    case 'R':
        if (state_.SavedOrientation) {
            state_.Font.Orientation = *state_.SavedOrientation;
            state_.SavedOrientation.reset();
        }
        break;
    case 'S':
        if (second == 'U') {
            state_.Subscript = state_.Superscript = false;
        } else if (second == 'H') {
            state_.Shadow = false;
        } else {
            SetStyle(fsStrikeOut, false);
        }
        break;
    case 'U':
        if (alone || state_.ListLevel == 0)
            SetStyle(fsUnderline, false);
        else
            --state_.ListLevel;
        break;
    case 'Z':
        state_.Hidden = false;
        break;
    default:
        break;
    }
    return Flow::Continue;
}

void LineWorker::AnchorStart(std::string_view tag) {
    ++state_.AnchorCounter;
    state_.InAnchor = true;
    state_.AnchorAddress = QuotedValueAfter(tag, 0).value_or("");
    anchorStart_ = x_;
    bool hovered = options_.Hover && state_.AnchorCounter == options_.HoveredAnchor;
    if (!options_.Hover || hovered) {
        SetStyle(fsUnderline, true);
        if (options_.HoverColor != clNone) {
            state_.AnchorSavedBrush = state_.Brush;
            state_.Brush = options_.HoverColor;
        }
        if (options_.HoverFontColor != clNone) state_.AnchorSavedText = state_.Font.Color;
    }
    state_.Font.Color = hovered && options_.HoverFontColor != clNone ? options_.HoverFontColor : options_.URLColor;
}

void LineWorker::AnchorFinish() {
    if (!options_.Hover || state_.AnchorCounter == options_.HoveredAnchor) {
        SetStyle(fsUnderline, false);
        if (state_.AnchorSavedBrush) state_.Brush = *state_.AnchorSavedBrush;
        state_.AnchorSavedBrush.reset();
        state_.AnchorSavedText.reset();
    }
    state_.Font.Color = state_.BaseFont.Color;
    if (!state_.InAnchor) return;
    line_.AnchorEnds.push_back({state_.AnchorCounter, anchorStart_, x_});
    if (Drawing() && state_.AnchorCounter == options_.FocusedAnchor)
        canvas_.DrawFocusRect({Absolute(anchorStart_), place_->Band.Top, Absolute(x_), place_->Band.Bottom});
    state_.InAnchor = false;
    state_.AnchorAddress.clear();
}

void LineWorker::Body(std::string_view tag, const std::string& upper) {
    if (!Drawing()) return;
    const TRect& rect = call_.Rect;
    if (auto color = AttributeValue(upper, "BGCOLOR")) {
        if (!color->empty() && ((*color)[0] == '#' || color->find("CL") != std::string::npos)) {
            canvas_.SetBrushColor(ParseMarkupColor(*color));
            canvas_.FillRect(rect);
        }
    }
    auto name = AttributeValue(tag, "BACKGROUND");
    TMarkupPicture* picture = name ? FindMarkupPicture(call_.Sources, *name) : nullptr;
    if (!picture || picture->Empty()) return;
    int width = picture->Width(), height = picture->Height();
    if (width <= 0 || height <= 0) return;
    canvas_.PushClipRect(rect);
    for (int y = rect.Top; y < rect.Bottom; y += height)
        for (int x = rect.Left; x < rect.Right; x += width) picture->Draw(canvas_, {x, y, x + width, y + height});
    canvas_.PopClipRect();
}

void LineWorker::Font(std::string_view tag, const std::string& upper) {
    if (auto face = AttributeValue(tag, "FACE")) state_.Font.Name = *face;
    if (auto color = AttributeValue(upper, " COLOR")) state_.Font.Color = ParseMarkupColor(*color);
    if (auto background = AttributeValue(upper, "BGCOLOR")) {
        if (!state_.FontSavedBrush) state_.FontSavedBrush = state_.Brush;
        state_.Brush = ParseMarkupColor(*background);
    }
    if (auto size = FontSizeAttribute(upper)) state_.Font.Size = *size;
}

void LineWorker::FontFinish() {
    state_.Font.Name = state_.BaseFont.Name;
    state_.Font.Size = state_.BaseFont.Size;
    state_.Font.Color = state_.BaseFont.Color;
    if (state_.FontSavedBrush) state_.Brush = *state_.FontSavedBrush;
    state_.FontSavedBrush.reset();
}

void LineWorker::Paragraph(const std::string& upper) {
    if (auto align = AttributeValue(upper, "ALIGN")) {
        if (align->find("RIGHT") != std::string::npos)
            state_.Align = MarkupAlign::Right;
        else if (align->find("LEFT") != std::string::npos)
            state_.Align = MarkupAlign::Left;
        else if (align->find("CENTER") != std::string::npos)
            state_.Align = MarkupAlign::Center;
    }
    if (auto indent = NumberValue(AttributeValue(upper, "INDENT"))) state_.Indent = *indent;
    if (auto from = AttributeValue(upper, "BGCOLOR")) {
        auto to = AttributeValue(upper, "BGCOLORTO");
        state_.ParagraphBackground = true;
        state_.ParagraphColor = ParseMarkupColor(*from);
        state_.ParagraphColorTo = to ? ParseMarkupColor(*to) : clNone;
        if (Drawing()) PaintParagraphBand(canvas_, state_, place_->Band);
    }
}

LineWorker::Flow LineWorker::Bullet() {
    if (bulletOnLine_) return Flow::EndBefore;
    bulletOnLine_ = true;
    int level = state_.ListLevel;
    if (Drawing() && !state_.Hidden) {
        TFontSpec symbol = state_.Font;
        symbol.Name = "Symbol";
        canvas_.SetFont(symbol);
        canvas_.SetBrushColor(state_.Brush);
        int left = Absolute(x_ + kBulletStep * (level - 1));
        int bottom = place_->Baseline - place_->PictureOffset;
        canvas_.DrawText(level % 2 ? "\xB7" : "o", {left, place_->Band.Top, left + kBulletStep, bottom},
                         call_.TextFlags);
    }
    x_ += kBulletStep * level;
    return Flow::Continue;
}

LineWorker::Flow LineWorker::Picture(std::string_view tag, const std::string& upper) {
    auto source = AttributeValue(tag, "SRC");
    if (!source || state_.Hidden) return Flow::Continue;
    auto image = ResolveMarkupImage(call_.Sources, *source);
    if (!image) return Flow::Continue;
    TSize size = image->Size;
    bool sized = false;
    if (image->Source == MarkupImage::Kind::Picture) {
        auto width = NumberValue(AttributeValue(upper, "WIDTH")), height = NumberValue(AttributeValue(upper, "HEIGHT"));
        if (width && height && *width >= 1 && *height >= 1) {
            size = {*width, *height};
            sized = true;
        }
    }
    double scale = canvas_.PixelsPerInch() / 96.0 * options_.PictureScale;
    int width = static_cast<int>(std::lround(size.Width * scale));
    int height = static_cast<int>(std::lround(size.Height * scale));
    if (!Drawing() && x_ + width > call_.Rect.Width() && width < call_.Rect.Width()) return Flow::EndBefore;
    line_.Height = std::max(line_.Height, height);
    if (upper.find("\"TOP") != std::string::npos)
        line_.PictureOffset = line_.Height - call_.BaseHeight;
    else if (upper.find("\"MIDDLE") != std::string::npos)
        line_.PictureOffset = (line_.Height - call_.BaseHeight) / 2;
    if (state_.InAnchor && !Drawing()) {
        // The ALT text is only of use for the picture the mouse finds inside an anchor.
        auto alt = AttributeValue(tag, "ALT");
        line_.AnchorPieces.push_back(
            {state_.AnchorCounter, state_.AnchorAddress, x_, x_ + width, height, alt ? *alt : *source});
    }
    if (Drawing()) {
        int left = Absolute(x_);
        TRect rect{left, place_->Baseline - height, left + width, place_->Baseline};
        if (image->Picture && image->Picture->FrameCount() > 1) {
            canvas_.SetBrushColor(call_.InitialBrush);
            canvas_.FillRect(rect);
        }
        DrawMarkupImage(canvas_, call_.Sources, *image, rect, sized);
    }
    x_ += width;
    trailingSpace_ = 0;
    return Flow::Continue;
}

}  // namespace

void PaintParagraphBand(Canvas& canvas, const MarkupState& state, const TRect& band) {
    if (state.ParagraphColorTo != clNone) {
        FillHorizontalGradient(canvas, {band.Left, band.Top, band.Right, band.Bottom + 2}, state.ParagraphColor,
                               state.ParagraphColorTo, kGradientSteps);
    } else {
        canvas.SetBrushColor(state.ParagraphColor);
        canvas.FillRect(band);
    }
    canvas.SetBrushColor(state.Brush);
}

MarkupLineLayout DrawMarkupLine(MarkupCall& call, MarkupState& state, std::string_view text,
                                const MarkupLinePlace* place) {
    return LineWorker(call, state, place).Run(text);
}

}  // namespace brenvik
