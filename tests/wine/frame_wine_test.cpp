// The dialog frame on real windows: the hint panel, its stored choice and
// the hint shown for the control under the mouse.
#include <gtest/gtest.h>
#include <windows.h>

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

}  // namespace
}  // namespace brenvik
