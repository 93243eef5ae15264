// The dialog frame on real windows: the hint panel, its stored choice, the
// hint shown for the control under the mouse and the fade-in of every show.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include "app/Texts.h"
#include "ui/frame/TFormA.h"
#include "ui/frame/TMarkupLabelControl.h"
#include "ui/toolkit/StandardControls.h"
#include "ui/toolkit/TApplication.h"

namespace brenvik {
namespace {

const char kChoiceKey[] = "SOFTWARE\\SaveForms";

class FrameWineTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        TApplication::Instance().Initialize();
        RegisterFrameControls();
    }
    void SetUp() override { RegDeleteKeyValueA(HKEY_CURRENT_USER, kChoiceKey, "TFormA.FormA"); }
    void StoreChoice(const char* value) {
        HKEY key;
        RegCreateKeyExA(HKEY_CURRENT_USER, kChoiceKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
        RegSetValueExA(key, "TFormA.FormA", 0, REG_SZ, reinterpret_cast<const BYTE*>(value), 2);
        RegCloseKey(key);
    }
    std::string StoredChoice() {
        char value[8] = {};
        DWORD size = sizeof value;
        RegGetValueA(HKEY_CURRENT_USER, kChoiceKey, "TFormA.FormA", RRF_RT_REG_SZ, nullptr, value, &size);
        return value;
    }
    static TControl& Part(TForm& form, const char* name) { return *dynamic_cast<TControl*>(form.FindComponent(name)); }
    static TCheckBox& ShowHints(TForm& form) { return dynamic_cast<TCheckBox&>(Part(form, "cbShowHints")); }
};

TEST_F(FrameWineTest, HintPanelStartsHiddenWithoutAStoredChoiceAndTogglesBy34Pixels) {
    StoreChoice("1");
    TFormA shown(nullptr, {});
    SetUp();
    TFormA hidden(nullptr, {});
    EXPECT_TRUE(ShowHints(shown).Checked());
    EXPECT_FALSE(ShowHints(hidden).Checked());
    EXPECT_EQ(shown.Height() - hidden.Height(), 34);
    EXPECT_FALSE(Part(hidden, "pnHint").Visible());

    int before = hidden.Height();
    ShowHints(hidden).SetChecked(true);
    EXPECT_EQ(hidden.Height(), before + 34);
    TControl& panel = Part(hidden, "pnHint");
    TControl& bevel = Part(hidden, "bvBottom");
    // The separator is moved one pixel below the panel, and bottom alignment
    // then closes the gap: the panel sits right on top of it.
    EXPECT_EQ(bevel.Top(), panel.Top() + panel.Height());
    ShowHints(hidden).SetChecked(false);
    EXPECT_EQ(hidden.Height(), before);
}

TEST_F(FrameWineTest, ClosingWithOkStoresTheChoiceAndCancelRestoresIt) {
    TFormA dialog(nullptr, {});
    ShowHints(dialog).SetChecked(true);
    dialog.ModalResult = mrCancel;
    dialog.Close();
    EXPECT_FALSE(ShowHints(dialog).Checked());  // back to the stored (absent) choice
    ShowHints(dialog).SetChecked(true);
    dialog.ModalResult = mrOk;
    dialog.Close();
    EXPECT_EQ(StoredChoice(), "1");
}

TEST_F(FrameWineTest, HintPanelShowsTheLongHintOrTheDefaultText) {
    TFormA dialog(nullptr, {});
    auto& label = dynamic_cast<TMarkupLabelControl&>(Part(dialog, "lbHint")).Label();
    TApplication& application = TApplication::Instance();
    TNotifyEvent before = [](TObject*) {};
    application.OnHint = before;
    dialog.Show();
    EXPECT_EQ(label.MarkupText(), LoadText(kTextDefaultHint));
    ASSERT_TRUE(application.OnHint);
    dialog.ShowApplicationHint(nullptr);  // no hint under the mouse
    EXPECT_EQ(label.MarkupText(), LoadText(kTextDefaultHint));
    dialog.Hide();
    EXPECT_EQ(application.OnHint.target_type(), before.target_type());  // the previous handler is back
}

// Every change of opacity the frame makes, and the opacity the window has
// when it appears.
class WatchedDialog : public TFormA {
public:
    WatchedDialog() : TFormA(nullptr, {}) { SetWindowSubclass(Handle(), Watch, 0, reinterpret_cast<DWORD_PTR>(this)); }
    ~WatchedDialog() override { RemoveWindowSubclass(Handle(), Watch, 0); }
    void SetAlphaBlendValue(std::uint8_t value) override {
        events.push_back(std::to_string(value));
        TFormA::SetAlphaBlendValue(value);
    }
    void SetAlphaBlend(bool on) override {
        events.push_back(on ? "layered" : "opaque");
        TFormA::SetAlphaBlend(on);
    }
    std::vector<std::string> events;

private:
    static LRESULT CALLBACK Watch(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                  DWORD_PTR self) {
        if (message == WM_SHOWWINDOW && wParam && !IsWindowVisible(window)) {
            BYTE alpha = 255;
            bool layered = GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_LAYERED;
            if (layered) GetLayeredWindowAttributes(window, nullptr, &alpha, nullptr);
            reinterpret_cast<WatchedDialog*>(self)->events.push_back(layered ? "appears at " + std::to_string(alpha)
                                                                             : "appears opaque");
        }
        return DefSubclassProc(window, message, wParam, lParam);
    }
};

uint64_t ScreenHash(const RECT& area) {
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, area.right - area.left, -(area.bottom - area.top), 1, 32, BI_RGB};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, area.right - area.left, area.bottom - area.top, screen, area.left, area.top, SRCCOPY);
    GdiFlush();
    uint64_t hash = 14695981039346656037ull;
    for (int i = 0; i < (area.right - area.left) * (area.bottom - area.top); ++i)
        hash = (hash ^ (static_cast<const uint32_t*>(bits)[i] & 0xFFFFFF)) * 1099511628211ull;
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return hash;
}

TEST_F(FrameWineTest, EveryShowStartsTransparentAndFadesIn) {
    WatchedDialog dialog;
    std::vector<std::string> expected = {"0", "layered", "appears at 0"};
    for (int value = 10; value <= 250; value += 10) expected.push_back(std::to_string(value));
    expected.insert(expected.end(), {"255", "opaque"});
    uint64_t finished = 0;
    for (int show = 1; show <= 3; ++show) {
        SCOPED_TRACE(show);
        dialog.events.clear();
        dialog.Show();
        RECT area;
        GetWindowRect(dialog.Handle(), &area);
        // Xvfb has no compositor to show opacity: what the screen can tell is
        // that the finished window is not there yet when the show call returns.
        uint64_t justShown = ScreenHash(area);
        for (DWORD start = GetTickCount(); dialog.events.back() != "opaque" && GetTickCount() - start < 10000; Sleep(1))
            TApplication::Instance().ProcessMessages();
        EXPECT_EQ(dialog.events, expected);
        RedrawWindow(dialog.Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        if (show == 1) finished = ScreenHash(area);
        EXPECT_NE(justShown, finished);
        dialog.Hide();
    }
}

}  // namespace
}  // namespace brenvik
