// The markup renderer on arbitrary markup against the fake canvas; the first
// two bytes choose the options and the anchor search point.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "FakeCanvas.h"
#include "markup_test_pictures.h"
#include "ui/frame/MarkupPictureStore.h"
#include "ui/frame/MarkupRenderer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace brenvik;
    if (size < 2) return 0;
    static FakePictureLoader loader;
    FakeImageList images;
    TPictureStore pictures(loader);
    pictures.Add().Name = "logo";
    pictures.Items(0).Picture().LoadFromStream(Bytes("IMG:20x30"));
    MarkupSources sources{&pictures, nullptr, &images, nullptr};

    MarkupOptions options;
    options.Wrap = (data[0] & 1) == 0;
    options.Hover = (data[0] & 2) != 0;
    options.MeasureOnly = (data[0] & 4) != 0;
    options.HoveredAnchor = (data[0] >> 3) & 3;
    options.FocusedAnchor = (data[0] >> 5) & 3;
    options.HoverColor = (data[0] & 0x80) ? clYellow : clNone;
    options.Point = {data[1] & 0x7F, data[1] >> 4};
    std::string markup(reinterpret_cast<const char*>(data + 2), size - 2);

    FakeCanvas canvas;
    TFontSpec font = canvas.Font();
    TRect rect{0, 0, 120, (data[1] & 0x80) ? 40 : 400};
    MarkupResult result = DrawMarkup(canvas, markup, rect, sources, options);

    if (!(canvas.Font() == font) || canvas.BrushColor() != clNone || !canvas.Clips.empty()) std::abort();
    if (result.TextHeight < 0 || result.MaxLineWidth < 0 || result.AnchorCount < 0) std::abort();
    if (result.AnchorIndex != -1 && (result.AnchorIndex < 1 || result.AnchorIndex > result.AnchorCount)) std::abort();
    if (result.AnchorHit == result.Anchor.empty()) std::abort();
    return 0;
}
