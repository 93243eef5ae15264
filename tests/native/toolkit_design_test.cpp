#include <gtest/gtest.h>

#include "base/Exception.h"
#include "ui/toolkit/FormDesign.h"
#include "ui/toolkit/Hints.h"
#include "ui/toolkit/Layout.h"
#include "ui/toolkit/TextWrap.h"

namespace brenvik {
namespace {

// The frame's bottom band: hint panel, separator and button bar, all
// bottom-aligned in a 359 px high client area.
std::vector<LayoutItem> BottomBand() {
    return {{TAlign::alBottom, akLeft | akTop, true, {0, 275, 522, 313}},
            {TAlign::alBottom, akLeft | akTop, true, {0, 313, 522, 316}},
            {TAlign::alBottom, akLeft | akTop, true, {0, 316, 522, 359}},
            {TAlign::alTop, akLeft | akTop, true, {0, 0, 522, 62}},
            {TAlign::alTop, akLeft | akTop, true, {0, 62, 522, 64}}};
}

TEST(Layout, BottomAlignedControlsKeepTheirOrderByTop) {
    auto items = BottomBand();
    AlignItems(items, {0, 0, 522, 359});
    EXPECT_EQ(items[0].Bounds, (TRect{0, 275, 522, 313}));
    EXPECT_EQ(items[1].Bounds, (TRect{0, 313, 522, 316}));
    EXPECT_EQ(items[2].Bounds, (TRect{0, 316, 522, 359}));
    EXPECT_EQ(items[4].Bounds, (TRect{0, 62, 522, 64}));

    // Hidden hint panel: it takes no room; shown again just above the
    // separator, it returns to its place above it.
    items[0].Visible = false;
    AlignItems(items, {0, 0, 522, 325});
    EXPECT_EQ(items[1].Bounds, (TRect{0, 279, 522, 282}));
    EXPECT_EQ(items[2].Bounds, (TRect{0, 282, 522, 325}));
    items[0].Visible = true;
    items[0].Bounds = {0, 278, 522, 316};  // one pixel above the separator
    AlignItems(items, {0, 0, 522, 359});
    EXPECT_EQ(items[0].Bounds, (TRect{0, 275, 522, 313}));
    EXPECT_EQ(items[1].Bounds, (TRect{0, 313, 522, 316}));
}

TEST(Layout, ClientTakesTheRestAndAnchorsFollowResizes) {
    std::vector<LayoutItem> items = {{TAlign::alClient, akLeft | akTop, true, {5, 5, 10, 10}},
                                     {TAlign::alTop, akLeft | akTop, true, {0, 0, 100, 20}},
                                     {TAlign::alNone, akTop | akRight, true, {70, 5, 90, 15}},
                                     {TAlign::alNone, akLeft | akRight | akBottom, true, {10, 50, 90, 60}}};
    AlignItems(items, {0, 0, 100, 80});
    EXPECT_EQ(items[0].Bounds, (TRect{0, 20, 100, 80}));
    // Side-aligned controls take the height left under the top ones.
    items.push_back({TAlign::alRight, akLeft | akTop, true, {0, 0, 15, 5}});
    items.push_back({TAlign::alLeft, akLeft | akTop, true, {0, 0, 10, 5}});
    AlignItems(items, {0, 0, 100, 80});
    EXPECT_EQ(items[4].Bounds, (TRect{85, 20, 100, 80}));
    EXPECT_EQ(items[5].Bounds, (TRect{0, 20, 10, 80}));
    EXPECT_EQ(items[0].Bounds, (TRect{10, 20, 85, 80}));
    items.resize(4);
    AnchorItems(items, {100, 80}, {130, 90});
    EXPECT_EQ(items[2].Bounds, (TRect{100, 5, 120, 15}));  // moved with the right edge
    EXPECT_EQ(items[3].Bounds, (TRect{10, 60, 120, 70}));  // stretched, moved down
}

TEST(FormDesign, DerivedDesignChangesInheritedComponentsByName) {
    FormDesign base = {{"TPanel", "Panel1", "", {{"Bounds", "0,316,522,43"}, {"Color", "clBtnFace"}}},
                       {"TButton", "BtnClose", "Panel1", {{"Caption", "Zastosuj"}, {"ModalResult", "1"}}}};
    FormDesign changes = {{"", "BtnClose", "", {{"Caption", "&Importuj"}, {"OnClick", "BtnCloseClick"}}},
                          {"TCheckBox", "deCut", "Panel1", {{"Caption", "Ucinaj"}}}};
    FormDesign merged = MergeDesigns(base, changes);
    ASSERT_EQ(merged.size(), 3u);
    EXPECT_EQ(merged[1].Kind, "TButton");
    EXPECT_EQ(merged[1].Parent, "Panel1");
    EXPECT_EQ(merged[1].Property("Caption"), "&Importuj");
    EXPECT_EQ(merged[1].Property("ModalResult"), "1");
    EXPECT_EQ(merged[1].Property("OnClick"), "BtnCloseClick");
    EXPECT_EQ(merged[2].Name, "deCut");
    EXPECT_EQ(base[1].Property("Caption"), "Zastosuj");  // the base design is untouched
}

TEST(FormDesign, MalformedValuesFailWhenTheFormIsBuilt) {
    EXPECT_EQ(ParseBounds("468,9,46,46"), (TRect{468, 9, 514, 55}));
    EXPECT_THROW(ParseBounds("1,2,3"), Exception);
    EXPECT_THROW(ParseBounds("1,2,x,4"), Exception);
    EXPECT_THROW(ParseBool("yes"), Exception);
}

TEST(Hints, ShortAndLongParts) {
    EXPECT_EQ(LongHint("|Pokazuje lub chowa podpowiedzi"), "Pokazuje lub chowa podpowiedzi");
    EXPECT_EQ(ShortHint("|Pokazuje"), "");
    EXPECT_EQ(LongHint("Brenvik"), "Brenvik");  // no bar: both parts
    EXPECT_EQ(ShortHint("Brenvik"), "Brenvik");
    EXPECT_EQ(LongHint("a|b|c"), "b|c");  // only the first bar splits
}

}  // namespace
}  // namespace brenvik

namespace brenvik {
namespace {

TEST(TextWrap, BreaksAtSpacesAndKeepsLongWordsWhole) {
    auto measure = [](const std::string& text) { return static_cast<int>(text.size()) * 6; };
    EXPECT_EQ(WrapText("Wskaz miejsce w ktorym", 60, measure), (std::vector<std::string>{"Wskaz", "miejsce w", "ktorym"}));
    EXPECT_EQ(WrapText("Niezwykledlugiewyrazenie ok", 60, measure),
              (std::vector<std::string>{"Niezwykledlugiewyrazenie", "ok"}));
    EXPECT_EQ(WrapText("a\r\nb", 600, measure), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(WrapText("", 600, measure), std::vector<std::string>{""});
}

}  // namespace
}  // namespace brenvik
