// The flat button and panel in a real window: states driven by real mouse
// and keyboard messages, and what they paint.
#include <gtest/gtest.h>
#include <windows.h>

#include "base/Exception.h"
#include "markup_bitmap.h"
#include "ui/style/StyleControls.h"
#include "ui/style/StyleColors.h"
#include "ui/style/TFlatButton.h"
#include "ui/style/TFlatPanel.h"
#include "ui/toolkit/TApplication.h"

namespace brenvik {
namespace {

const FormDesign kDesign = {
    {"form", "FormStyle", "", {{"ClientSize", "300,100"}}},
    {"TPanel", "Panel1", "", {{"Bounds", "0,50,300,50"}}},
    {"TFlatButton", "BtnClose", "Panel1",
     {{"Bounds", "10,10,80,23"}, {"Caption", "&Importuj"}, {"ModalResult", "0"}, {"OnClick", "BtnCloseClick"}}},
    {"TFlatButton", "BtnCancel", "Panel1",
     {{"Bounds", "100,10,80,23"}, {"Caption", "&Zamknij"}, {"ModalResult", "2"}, {"OnClick", "BtnCancelClick"}}},
    {"TFlatPanel", "FlatPanel1", "", {{"Bounds", "0,0,300,50"}, {"Color", "14278369"}}},
};

class StyleForm : public TForm {
public:
    StyleForm() : TForm(nullptr) {
        Name = "FormStyle";
        RegisterHandler("BtnCloseClick", [this](TObject*) { clicks.push_back("import"); });
        RegisterHandler("BtnCancelClick", [this](TObject*) { clicks.push_back("close"); });
        LoadDesign(kDesign);
    }
    TFlatButton& Button(const char* name) {
        auto* button = dynamic_cast<TFlatButton*>(FindComponent(name));
        if (!button) throw Exception(std::string("no ") + name);
        return *button;
    }
    std::vector<std::string> clicks;
};

LPARAM At(int x, int y) { return MAKELPARAM(static_cast<WORD>(static_cast<short>(x)), static_cast<WORD>(static_cast<short>(y))); }

class FlatButtonTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        TApplication::Instance().Initialize();
        RegisterStyleControls();
    }
    void Send(TFlatButton& button, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        SendMessageW(button.Handle(), message, wParam, lParam);
    }
    // Resolved as the screen shows them.
    static TColor System(int index) { return GetSysColor(index); }

    StyleForm form;
    MemoryBitmap bitmap{80, 23};
};

TEST_F(FlatButtonTest, PressDragOutReleaseDoesNotClickButPressReleaseDoes) {
    TFlatButton& button = form.Button("BtnCancel");
    form.ModalResult = 7;
    Send(button, WM_LBUTTONDOWN, MK_LBUTTON, At(5, 5));
    EXPECT_EQ(button.State(), TFlatButtonState::Pressed);
    EXPECT_TRUE(button.Capturing());
    EXPECT_EQ(GetCapture(), button.Handle());
    Send(button, WM_MOUSEMOVE, MK_LBUTTON, At(200, 5));
    EXPECT_EQ(button.State(), TFlatButtonState::Up);
    Send(button, WM_MOUSEMOVE, MK_LBUTTON, At(6, 6));
    EXPECT_EQ(button.State(), TFlatButtonState::Pressed);
    Send(button, WM_MOUSEMOVE, MK_LBUTTON, At(-3, 5));
    Send(button, WM_LBUTTONUP, 0, At(-3, 5));
    EXPECT_FALSE(button.Capturing());
    EXPECT_NE(GetCapture(), button.Handle());
    EXPECT_TRUE(form.clicks.empty());
    EXPECT_EQ(form.ModalResult, 7);

    Send(button, WM_LBUTTONDOWN, MK_LBUTTON, At(5, 5));
    Send(button, WM_LBUTTONUP, 0, At(79, 22));
    EXPECT_EQ(form.clicks, std::vector<std::string>{"close"});
    EXPECT_EQ(form.ModalResult, mrCancel);
    EXPECT_EQ(button.State(), TFlatButtonState::Up);
}

TEST_F(FlatButtonTest, EveryClickStoresTheModalResultEvenNone) {
    form.ModalResult = mrOk;
    TFlatButton& button = form.Button("BtnClose");
    Send(button, WM_LBUTTONDOWN, MK_LBUTTON, At(5, 5));
    Send(button, WM_LBUTTONUP, 0, At(5, 5));
    EXPECT_EQ(form.ModalResult, mrNone);
    EXPECT_EQ(form.clicks, std::vector<std::string>{"import"});
}

TEST_F(FlatButtonTest, AfterAMouseClickItStaysColdUntilTheMouseLeavesAndComesBack) {
    TFlatButton& button = form.Button("BtnClose");
    Send(button, WM_MOUSEMOVE, 0, At(5, 5));
    EXPECT_TRUE(button.Hot());
    Send(button, WM_LBUTTONDOWN, MK_LBUTTON, At(5, 5));
    Send(button, WM_LBUTTONUP, 0, At(5, 5));
    EXPECT_FALSE(button.Hot());
    Send(button, WM_MOUSEMOVE, 0, At(7, 7));
    EXPECT_FALSE(button.Hot());
    Send(button, WM_MOUSELEAVE);
    Send(button, WM_MOUSEMOVE, 0, At(7, 7));
    EXPECT_TRUE(button.Hot());
}

TEST_F(FlatButtonTest, SpaceClicksOnEveryReleaseAndTheDialogManagerClicksThroughBmClick) {
    TFlatButton& button = form.Button("BtnClose");
    Send(button, WM_KEYDOWN, VK_SPACE);
    EXPECT_EQ(button.State(), TFlatButtonState::Pressed);
    EXPECT_TRUE(form.clicks.empty());
    Send(button, WM_KEYUP, VK_SPACE);
    EXPECT_EQ(button.State(), TFlatButtonState::Up);
    EXPECT_EQ(form.clicks.size(), 1u);
    Send(button, WM_KEYUP, VK_SPACE);  // a space pressed elsewhere clicks too
    EXPECT_EQ(form.clicks.size(), 2u);
    Send(button, BM_CLICK);
    EXPECT_EQ(form.clicks.size(), 3u);
    button.SetEnabled(false);
    Send(button, BM_CLICK);
    Send(button, WM_LBUTTONDOWN, MK_LBUTTON, At(5, 5));
    Send(button, WM_LBUTTONUP, 0, At(5, 5));
    EXPECT_EQ(form.clicks.size(), 3u);
    EXPECT_EQ(SendMessageW(button.Handle(), WM_GETDLGCODE, 0, 0) & DLGC_BUTTON, DLGC_BUTTON);
}

TEST_F(FlatButtonTest, CaptionAcceleratorClicksThroughTheDialogManager) {
    TForm plain(nullptr);
    plain.Name = "FormKeys";
    int clicks = 0;
    plain.RegisterHandler("Clicked", [&](TObject*) { ++clicks; });
    plain.LoadDesign({{"form", "FormKeys", "", {{"ClientSize", "200,60"}}},
                      {"TFlatButton", "BtnKey", "", {{"Bounds", "10,10,80,23"}, {"Caption", "&Zamknij"},
                                                     {"ModalResult", "2"}, {"OnClick", "Clicked"}}}});
    auto& button = dynamic_cast<TFlatButton&>(*plain.FindComponent("BtnKey"));
    MSG other{button.Handle(), WM_SYSCHAR, 'q', 0, 0, {0, 0}};
    IsDialogMessageW(plain.Handle(), &other);
    EXPECT_EQ(clicks, 0);
    MSG key{button.Handle(), WM_SYSCHAR, 'z', 0, 0, {0, 0}};
    EXPECT_TRUE(IsDialogMessageW(plain.Handle(), &key));
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(plain.ModalResult, mrCancel);
}

TEST_F(FlatButtonTest, CaptionChangesRepaintTheFlatLook) {
    TFlatButton& button = form.Button("BtnClose");
    form.Show();  // hidden windows keep no region to repaint
    RedrawWindow(form.Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    RECT pending{};
    ASSERT_FALSE(GetUpdateRect(button.Handle(), &pending, FALSE));
    button.SetCaption("&Nowy");
    EXPECT_EQ(button.Caption(), "&Nowy");
    EXPECT_TRUE(GetUpdateRect(button.Handle(), &pending, FALSE));
    EXPECT_EQ(SendMessageW(button.Handle(), BM_SETSTATE, TRUE, 0), 0);
    EXPECT_EQ(button.State(), TFlatButtonState::Up);
}

TEST_F(FlatButtonTest, PaintsBorderAndFaceAtRestAndTheFocusedColourWhenHot) {
    TFlatButton& button = form.Button("BtnClose");
    button.Render(bitmap.Canvas());
    EXPECT_EQ(bitmap.Pixel(0, 0), button.ColorBorder);
    EXPECT_EQ(bitmap.Pixel(79, 22), button.ColorBorder);
    EXPECT_EQ(bitmap.Pixel(3, 3), System(COLOR_BTNFACE));  // the parent's colour
    Send(button, WM_MOUSEMOVE, 0, At(5, 5));
    button.Render(bitmap.Canvas());
    EXPECT_EQ(bitmap.Pixel(0, 0), button.ColorShadow);
    EXPECT_EQ(bitmap.Pixel(3, 3), button.ColorFocused);
    EXPECT_EQ(button.ColorFocused, TColor{14805739});
    Send(button, WM_LBUTTONDOWN, MK_LBUTTON, At(5, 5));
    button.Render(bitmap.Canvas());
    EXPECT_EQ(bitmap.Pixel(5, 5), button.ColorDown);
    // Pressing took the focus: a two-pixel dark edge and a frame three pixels in.
    EXPECT_TRUE(button.Focused());
    EXPECT_EQ(bitmap.Pixel(0, 0), button.ColorShadow);
    EXPECT_EQ(bitmap.Pixel(1, 1), button.ColorShadow);
    EXPECT_EQ(bitmap.Pixel(2, 2), button.ColorDown);
    EXPECT_EQ(bitmap.Pixel(3, 3 + 5), button.ColorBorder);
    EXPECT_EQ(bitmap.Pixel(76, 19), button.ColorBorder);
    Send(button, WM_LBUTTONUP, 0, At(-5, 5));
}

TEST_F(FlatButtonTest, DisabledButtonShowsItsCaptionInTheShadowColourInsideTheBorder) {
    TFlatButton& button = form.Button("BtnCancel");
    Send(button, WM_MOUSEMOVE, 0, At(5, 5));
    button.SetEnabled(false);
    EXPECT_EQ(button.State(), TFlatButtonState::Disabled);
    EXPECT_FALSE(button.Hot());
    button.Render(bitmap.Canvas());
    EXPECT_EQ(bitmap.Pixel(0, 0), button.ColorBorder);
    EXPECT_EQ(bitmap.Pixel(40, 22), button.ColorBorder);
    EXPECT_EQ(bitmap.Pixel(3, 3), System(COLOR_BTNFACE));
    int shadow = 0, black = 0;
    for (int y = 2; y < 21; ++y)
        for (int x = 2; x < 78; ++x) {
            shadow += bitmap.Pixel(x, y) == System(COLOR_BTNSHADOW);
            black += bitmap.Pixel(x, y) == clBlack;
        }
    EXPECT_GT(shadow, 10);
    EXPECT_EQ(black, 0);
    button.SetEnabled(true);
    button.Render(bitmap.Canvas());
    EXPECT_EQ(button.State(), TFlatButtonState::Up);
}

TEST_F(FlatButtonTest, WithAPopupMenuAClickOnlyShowsTheMenu) {
    TFlatButton& button = form.Button("BtnCancel");
    TPopupMenu menu(nullptr);
    bool shown = false;
    menu.Add("pmOne", "One");
    button.PopupMenu = &menu;
    form.ModalResult = 7;
    struct Closer {
        static void CALLBACK Close(HWND, UINT, UINT_PTR id, DWORD) {
            KillTimer(nullptr, id);
            EndMenu();
        }
    };
    UINT_PTR timer = SetTimer(nullptr, 0, 300, Closer::Close);
    button.Click();
    shown = menu.PopupComponent == &button;
    KillTimer(nullptr, timer);
    EXPECT_TRUE(shown);
    EXPECT_EQ(form.ModalResult, 7);
    EXPECT_TRUE(form.clicks.empty());
}

// Exposes the panel's background painting.
class PanelProbe : public TFlatPanel {
public:
    using TFlatPanel::PaintBackground;
    using TFlatPanel::TFlatPanel;
};

TEST(FlatPanelTest, StartsThirtyPercentLighterThanTheFaceAndKeepsAFaceMarginForItsBorder) {
    TApplication::Instance().Initialize();
    PanelProbe panel(nullptr);
    HDC screen = GetDC(nullptr);
    TColor expected = GetNearestColor(screen, LightenByFraction(GetSysColor(COLOR_BTNFACE), 3, 10));
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(panel.Color, expected);

    panel.SetBounds({0, 0, 40, 20});
    panel.Color = RGBColor(225, 222, 217);
    panel.BorderWidth = 2;
    MemoryBitmap bitmap(40, 20);
    panel.PaintBackground(bitmap.Canvas());
    TColor face = GetSysColor(COLOR_BTNFACE);
    EXPECT_EQ(bitmap.Pixel(0, 0), face);
    EXPECT_EQ(bitmap.Pixel(1, 10), face);
    EXPECT_EQ(bitmap.Pixel(38, 18), face);
    EXPECT_EQ(bitmap.Pixel(2, 2), panel.Color);
    EXPECT_EQ(bitmap.Pixel(37, 17), panel.Color);

    panel.BorderWidth = 0;
    panel.PaintBackground(bitmap.Canvas());
    EXPECT_EQ(bitmap.Pixel(0, 0), panel.Color);
}

TEST(FlatPanelTest, DesignsNameTheStyledKinds) {
    TApplication::Instance().Initialize();
    RegisterStyleControls();
    StyleForm form;
    auto* panel = dynamic_cast<TFlatPanel*>(form.FindComponent("FlatPanel1"));
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->Color, TColor{14278369});
    wchar_t className[32] = {};
    GetClassNameW(form.Button("BtnClose").Handle(), className, 32);
    EXPECT_STREQ(className, L"Button");  // found and clicked like any push button by other programs
    LONG_PTR style = GetWindowLongPtrW(form.Button("BtnClose").Handle(), GWL_STYLE);
    EXPECT_EQ(style & BS_TYPEMASK, BS_PUSHBUTTON);
}

}  // namespace
}  // namespace brenvik
