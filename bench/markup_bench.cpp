// The hint panel's cost: a 2,000-character hint with mixed markup laid out
// and drawn into a memory bitmap, and the anchor search the label runs on
// every mouse move. Prints microseconds per call, median of the batches.
#include <cstdio>
#include <string>

#include "Measure.h"
#include "markup_bitmap.h"
#include "ui/frame/MarkupRenderer.h"

namespace {

std::string MixedHint() {
    const char* piece =
        "Przycisk <b>Pomoc</b> udost\xeapnia tematy pomocy, <i>kursywa</i> i <u>podkre\x9clenie</u>; "
        "<FONT color=\"clRed\" size=\"3\">kolor</FONT> &amp; <A href=\"http://example.invalid/\">odno\x9cnik</A> "
        "<SHAD>cie\xf1</SHAD> x<SUP>2</SUP> &euro;<BR>";
    std::string hint;
    while (hint.size() < 2000) hint += piece;
    return hint;
}

}  // namespace

int main() {
    using namespace brenvik;
    const std::string hint = MixedHint();
    MemoryBitmap bitmap(400, 1000);
    GdiCanvas& canvas = bitmap.Canvas();
    const TRect rect{0, 0, 400, 1000};
    MarkupOptions drawing;
    auto first = DrawMarkup(canvas, hint, rect, {}, drawing);
    std::printf("# hint of %zu characters, %d anchors, %d pixels high\n", hint.size(), first.AnchorCount,
                first.TextHeight);

    MarkupOptions search;
    search.MeasureOnly = true;
    search.Point = {200, first.TextHeight - 5};  // near the end: the whole text is searched
    PrintMicrosecondsPerCall("markup_layout_draw_us", 20, 500, [] {}, [&] { DrawMarkup(canvas, hint, rect, {}, drawing); });
    // A hint of the program's own kind: a sentence or two with bold words.
    const std::string typical = "Przycisk <b>Pomoc</b> udost\xeapnia tematy pomocy. Przycisk <b>Importuj</b> pobiera kody "
                                "z kolektora i wpisuje je do programu <b>Veltra II</b>.";
    PrintMicrosecondsPerCall("markup_typical_hint_us", 20, 500, [] {}, [&] { DrawMarkup(canvas, typical, rect, {}, drawing); });
    PrintMicrosecondsPerCall("markup_anchor_search_us", 20, 500, [] {}, [&] { DrawMarkup(canvas, hint, rect, {}, search); });
    return 0;
}
