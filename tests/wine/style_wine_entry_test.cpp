// The data-entry widgets on a shown window, read back from the screen: one
// flat border in the style controller's colour, the hot colour under the
// mouse, and the check box's tick.
#include <gtest/gtest.h>
#include <windows.h>

#include "base/Exception.h"
#include "ui/toolkit/StandardControls.h"
#include "ui/toolkit/TApplication.h"

namespace brenvik {
namespace {

const FormDesign kDesign = {
    {"form", "FormEntry", "", {{"ClientSize", "300,110"}}},
    {"TEditStyleController", "Style1", "", {{"BorderColor", "clBtnShadow"}, {"HotColor", "clHighlight"}}},
    {"TPanel", "Panel1", "", {{"Bounds", "0,0,300,110"}, {"Color", "14278369"}}},
    {"TCheckBox", "cbOption", "Panel1", {{"StyleController", "Style1"}, {"Bounds", "10,10,150,21"}, {"Caption", "&Opcja"}}},
    {"TSpinEdit", "deValue", "Panel1",
     {{"StyleController", "Style1"}, {"Bounds", "10,40,41,21"}, {"MinValue", "10"}, {"MaxValue", "100"}, {"Value", "10"}}},
    {"TPickList", "edtList", "Panel1", {{"StyleController", "Style1"}, {"Bounds", "10,70,150,21"}}},
};

class EntryForm : public TForm {
public:
    EntryForm() : TForm(nullptr) {
        Name = "FormEntry";
        LoadDesign(kDesign);
        SetBounds({40, 40, 40 + Width(), 40 + Height()});
        Show();
    }
    TWinControl& Widget(const char* name) {
        auto* widget = dynamic_cast<TWinControl*>(FindComponent(name));
        if (!widget) throw Exception(std::string("no ") + name);
        return *widget;
    }
};

class FlatEntryTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { TApplication::Instance().Initialize(); }
    // Lets the window repaint, then runs the idle pass that finds the control under the mouse.
    static void Settle() {
        for (int round = 0; round < 3; ++round) {
            TApplication::Instance().ProcessMessages();
            TApplication::Instance().Idle();
            Sleep(30);
        }
        TApplication::Instance().ProcessMessages();
    }
    static COLORREF Shown(HWND window, int x, int y, bool frame = false) {
        HDC dc = frame ? GetWindowDC(window) : GetDC(window);
        COLORREF colour = GetPixel(dc, x, y);
        ReleaseDC(window, dc);
        return colour;
    }
    static void MouseOnto(HWND window) {
        RECT r;
        GetWindowRect(window, &r);
        SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        Settle();
    }
    const COLORREF shadow_ = GetSysColor(COLOR_BTNSHADOW), hot_ = GetSysColor(COLOR_HIGHLIGHT);
    EntryForm form_;
};

TEST_F(FlatEntryTest, BordersAreOneFlatLineInTheControllersColourAndHotUnderTheMouse) {
    SetCursorPos(1000, 900);
    Settle();
    HWND check = form_.Widget("cbOption").Handle(), spin = form_.Widget("deValue").Handle(),
         pick = form_.Widget("edtList").Handle();
    // The check box's 13-pixel box is centred in its 21-pixel height.
    EXPECT_EQ(Shown(check, 0, 4), shadow_);
    EXPECT_EQ(Shown(check, 6, 16), shadow_);
    EXPECT_EQ(Shown(check, 6, 8), GetSysColor(COLOR_WINDOW)) << "flat: no 3-D edge inside the box";
    EXPECT_EQ(Shown(spin, 0, 10, true), shadow_);
    EXPECT_EQ(Shown(spin, 5, 0, true), shadow_);
    EXPECT_EQ(Shown(pick, 0, 10), shadow_);
    EXPECT_EQ(Shown(pick, 1, 10), GetSysColor(COLOR_WINDOW)) << "one line, not the sunken edge";

    MouseOnto(check);
    EXPECT_EQ(Shown(check, 0, 4), hot_);
    EXPECT_EQ(Shown(spin, 0, 10, true), shadow_);
    MouseOnto(spin);
    EXPECT_EQ(Shown(check, 0, 4), shadow_) << "the mouse has left";
    EXPECT_EQ(Shown(spin, 0, 10, true), hot_);
    MouseOnto(pick);
    EXPECT_EQ(Shown(spin, 0, 10, true), shadow_);
    EXPECT_EQ(Shown(pick, 0, 10), hot_);
    SetCursorPos(1000, 900);
    Settle();
    EXPECT_EQ(Shown(pick, 0, 10), shadow_);
}

TEST_F(FlatEntryTest, CheckBoxDrawsItsTickAndStaysANativeCheckBox) {
    HWND check = form_.Widget("cbOption").Handle();
    EXPECT_EQ(GetWindowLongW(check, GWL_STYLE) & BS_TYPEMASK, BS_CHECKBOX);
    auto tickPixels = [&] {
        int ink = 0;
        for (int y = 5; y < 16; ++y)
            for (int x = 1; x < 12; ++x) ink += Shown(check, x, y) == GetSysColor(COLOR_WINDOWTEXT);
        return ink;
    };
    Settle();
    EXPECT_EQ(tickPixels(), 0);
    SendMessageW(check, BM_CLICK, 0, 0);
    Settle();
    EXPECT_TRUE(dynamic_cast<TCheckBox&>(form_.Widget("cbOption")).Checked());
    EXPECT_GT(tickPixels(), 8);
}

}  // namespace
}  // namespace brenvik
