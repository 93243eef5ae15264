// The toolkit's forms, controls and threads against real windows.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>

#include "base/Exception.h"
#include "ui/toolkit/GraphicControls.h"
#include "ui/toolkit/StandardControls.h"
#include "ui/toolkit/TApplication.h"
#include "ui/toolkit/TForm.h"
#include "ui/toolkit/TThread.h"

namespace brenvik {
namespace {

const FormDesign kBaseDesign = {
    {"form", "FormBase", "", {{"ClientSize", "300,200"}, {"Caption", "Base"}}},
    {"TPanel", "Panel1", "", {{"Bounds", "0,160,300,40"}, {"Align", "alBottom"}, {"Hint", "|Panel hint"}}},
    {"TButton", "BtnClose", "Panel1", {{"Bounds", "10,8,80,23"}, {"Caption", "Zastosuj"}, {"ModalResult", "1"},
                                        {"OnClick", "BtnCloseClick"}}},
    {"TCheckBox", "cbShowHints", "Panel1", {{"Bounds", "100,8,120,21"}, {"Checked", "True"},
                                             {"OnChange", "cbShowHintsChange"}}},
    {"TLabel", "lbName", "", {{"Bounds", "9,9,54,13"}, {"Caption", "Name"}}},
};

class BaseForm : public TForm {
public:
    explicit BaseForm(const FormDesign& changes = {}) : TForm(nullptr) {
        Name = "FormBase";
        RegisterHandler("BtnCloseClick", [this](TObject*) { calls.push_back("base click"); });
        RegisterHandler("cbShowHintsChange", [this](TObject*) { calls.push_back("change"); });
        LoadDesign(MergeDesigns(kBaseDesign, changes));
    }
    std::vector<std::string> calls;
};

class DerivedForm : public BaseForm {
public:
    DerivedForm() : BaseForm({{"", "BtnClose", "", {{"Caption", "&Importuj"}, {"ModalResult", "0"}}},
                              {"TSpinEdit", "deCodeLen", "", {{"Bounds", "112,112,41,21"}, {"MinValue", "10"},
                                                               {"MaxValue", "100"}, {"Value", "10"}}}}) {
        RegisterHandler("BtnCloseClick", [this](TObject*) { calls.push_back("derived click"); });
    }
};

template <typename T>
T& Find(TForm& form, const char* name) {
    auto* component = dynamic_cast<T*>(form.FindComponent(name));
    if (!component) throw Exception(std::string("no ") + name);
    return *component;
}

class ToolkitWineTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { TApplication::Instance().Initialize(); }
};

TEST_F(ToolkitWineTest, DesignBuildsWindowsAndTheDerivedHandlerWins) {
    DerivedForm form;
    auto& button = Find<TButton>(form, "BtnClose");
    EXPECT_EQ(button.Caption(), "&Importuj");
    EXPECT_TRUE(IsWindow(button.Handle()));
    EXPECT_EQ(GetParent(button.Handle()), Find<TPanel>(form, "Panel1").Handle());
    SendMessageW(button.Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(form.calls, std::vector<std::string>{"derived click"});
    EXPECT_EQ(form.ModalResult, mrNone);  // the derived design cleared the result
}

// Keys as the loop gets them from the keyboard, handled by it.
void Key(UINT message, WPARAM key) {
    PostMessageW(GetFocus(), message, key, message == WM_SYSCHAR ? 1 << 29 : 0);  // bit 29: Alt is down
    TApplication::Instance().ProcessMessages();
}

TEST_F(ToolkitWineTest, KeyboardWalksPanelsInTabOrderAndAcceleratorsReachControlsAndLabels) {
    TForm form(nullptr);
    form.Name = "FormKeys";
    form.LoadDesign({{"form", "FormKeys", "", {{"ClientSize", "300,200"}}},
                     {"TPanel", "Options", "", {{"Bounds", "0,0,300,100"}, {"TabOrder", "1"}}},
                     {"TCheckBox", "cbAlpha", "Options", {{"Bounds", "10,10,100,21"}, {"Caption", "&Alpha"},
                                                          {"TabOrder", "0"}}},
                     {"TLabel", "lbGamma", "Options", {{"Bounds", "10,40,60,13"}, {"Caption", "&Gamma"},
                                                       {"FocusControl", "deValue"}}},
                     {"TSpinEdit", "deValue", "Options", {{"Bounds", "80,40,41,21"}, {"TabOrder", "1"}}},
                     {"TPanel", "Buttons", "", {{"Bounds", "0,100,300,100"}, {"TabOrder", "0"}}},
                     {"TButton", "BtnBeta", "Buttons", {{"Bounds", "10,10,80,23"}, {"Caption", "&Beta"}}}});
    HWND beta = Find<TButton>(form, "BtnBeta").Handle(), alpha = Find<TCheckBox>(form, "cbAlpha").Handle();
    HWND value = Find<TSpinEdit>(form, "deValue").Handle();
    EXPECT_EQ(Find<TLabel>(form, "lbGamma").FocusControl(), &Find<TSpinEdit>(form, "deValue"));
    form.Show();
    EXPECT_EQ(GetFocus(), beta) << "the first panel in tab order, its first control";
    Key(WM_KEYDOWN, VK_TAB);
    EXPECT_EQ(GetFocus(), alpha);
    Key(WM_KEYDOWN, VK_TAB);
    EXPECT_EQ(GetFocus(), value);
    Key(WM_KEYDOWN, VK_TAB);
    EXPECT_EQ(GetFocus(), beta);

    Key(WM_SYSCHAR, 'G');  // the label hands the keyboard to its control
    EXPECT_EQ(GetFocus(), value);
    Key(WM_SYSCHAR, 'a');
    EXPECT_EQ(GetFocus(), alpha);
    EXPECT_TRUE(Find<TCheckBox>(form, "cbAlpha").Checked());
    Find<TSpinEdit>(form, "deValue").SetEnabled(false);
    Key(WM_SYSCHAR, 'g');
    EXPECT_EQ(GetFocus(), alpha);

    form.Hide();
    form.Show();
    EXPECT_EQ(GetFocus(), alpha) << "back where it was";
}

TEST_F(ToolkitWineTest, AFailingCreationHandlerIsReportedAndTheFormStays) {
    std::vector<std::string> reported;
    TApplication::Instance().OnException = [&](std::exception_ptr error) {
        try {
            std::rethrow_exception(error);
        } catch (const Exception& e) {
            reported.push_back(e.Message);
        }
    };
    BaseForm form;
    form.OnCreate = [](TObject*) { throw Exception("unreadable"); };
    form.AfterConstruction();
    TApplication::Instance().OnException = nullptr;
    EXPECT_EQ(reported, std::vector<std::string>{"unreadable"});
    EXPECT_TRUE(IsWindow(form.Handle()));
}

TEST_F(ToolkitWineTest, ButtonsCopyTheirModalResultIntoTheForm) {
    BaseForm form;
    SendMessageW(Find<TButton>(form, "BtnClose").Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(form.ModalResult, mrOk);
    EXPECT_EQ(form.calls, std::vector<std::string>{"base click"});
}

TEST_F(ToolkitWineTest, CheckBoxReportsChangesFromCodeAndUserButNotFromTheDesign) {
    BaseForm form;
    auto& box = Find<TCheckBox>(form, "cbShowHints");
    EXPECT_TRUE(box.Checked());
    EXPECT_TRUE(form.calls.empty());
    box.SetChecked(false);
    box.SetChecked(false);  // no change, no event
    SendMessageW(box.Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(form.calls, (std::vector<std::string>{"change", "change"}));
    EXPECT_TRUE(box.Checked());
    EXPECT_EQ(SendMessageW(box.Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
}

TEST_F(ToolkitWineTest, AlignmentFollowsTheClientArea) {
    BaseForm form;
    auto& panel = Find<TPanel>(form, "Panel1");
    EXPECT_EQ(panel.BoundsRect(), (TRect{0, 160, 300, 200}));
    form.SetClientSize({400, 250});
    EXPECT_EQ(panel.BoundsRect(), (TRect{0, 210, 400, 250}));
    RECT window;
    GetWindowRect(panel.Handle(), &window);
    EXPECT_EQ(window.right - window.left, 400);
}

TEST_F(ToolkitWineTest, SpinEditKeepsItsValueInRange) {
    DerivedForm form;
    auto& spin = Find<TSpinEdit>(form, "deCodeLen");
    spin.SetValue(5);
    EXPECT_EQ(spin.Value(), 10);
    spin.SetValue(500);
    EXPECT_EQ(spin.Value(), 100);
    SetWindowTextW(spin.Handle(), L"42");
    EXPECT_EQ(spin.Value(), 42);
}

TEST_F(ToolkitWineTest, ControlUnderAPointFindsWindowlessChildrenAndTheirParentsHint) {
    BaseForm form;
    EXPECT_EQ(form.ControlAtPos({20, 15}), &Find<TLabel>(form, "lbName"));
    auto& panel = Find<TPanel>(form, "Panel1");
    EXPECT_EQ(form.ControlAtPos({250, 170}), &panel);
    EXPECT_EQ(form.ControlAtPos({20, 170}), &Find<TButton>(form, "BtnClose"));
}

TEST_F(ToolkitWineTest, SynchronizeRunsOnTheInterfaceThreadAndCarriesExceptionsBack) {
    struct Worker : TThread {
        Worker() : TThread(true) {}
        DWORD ranOn = 0;
        std::atomic<bool> raised{false};
        void Execute() override {
            Synchronize([this] { ranOn = GetCurrentThreadId(); });
            try {
                Synchronize([] { throw Exception("from the interface thread"); });
            } catch (const Exception&) {
                raised = true;
            }
        }
    } worker;
    worker.Start();
    for (DWORD start = GetTickCount(); !worker.raised && GetTickCount() - start < 5000; Sleep(1))
        TApplication::Instance().ProcessMessages();
    worker.WaitFor();
    EXPECT_EQ(worker.ranOn, GetCurrentThreadId());
    EXPECT_TRUE(worker.raised);
}

}  // namespace
}  // namespace brenvik

#include "ui/frame/TThreadAlphaBlend.h"

namespace brenvik {
namespace {

class FadeRecorder : public BaseForm {
public:
    std::vector<int> values;
    int layeringOff = 0;
    void SetAlphaBlendValue(std::uint8_t value) override {
        values.push_back(value);
        TForm::SetAlphaBlendValue(value);
    }
    void SetAlphaBlend(bool on) override {
        if (!on) ++layeringOff;
        TForm::SetAlphaBlend(on);
    }
};

void PumpUntil(const std::function<bool()>& done) {
    for (DWORD start = GetTickCount(); !done() && GetTickCount() - start < 10000; Sleep(1))
        TApplication::Instance().ProcessMessages();
}

TEST_F(ToolkitWineTest, FadeRaisesOpacityInStepsAndEndsOpaqueWithoutLayering) {
    FadeRecorder form;
    form.SetAlphaBlendValue(0);
    form.SetAlphaBlend(true);
    form.values.clear();
    new TThreadAlphaBlend(form.Link());
    PumpUntil([&] { return form.layeringOff > 0; });
    std::vector<int> expected;
    for (int value = 10; value <= 250; value += 10) expected.push_back(value);
    expected.push_back(255);
    EXPECT_EQ(form.values, expected);
    EXPECT_EQ(form.layeringOff, 1);
    EXPECT_FALSE(GetWindowLongPtrW(form.Handle(), GWL_EXSTYLE) & WS_EX_LAYERED);
}

TEST_F(ToolkitWineTest, FadeOfADialogDestroyedMidwayStopsTouchingIt) {
    auto* doomed = new FadeRecorder;
    auto link = doomed->Link();
    new TThreadAlphaBlend(link);
    TApplication::Instance().ProcessMessages();
    delete doomed;
    EXPECT_EQ(*link, nullptr);  // the remaining cycles find no dialog

    FadeRecorder survivor;  // a later fade still runs to its end
    new TThreadAlphaBlend(survivor.Link());
    PumpUntil([&] { return survivor.layeringOff > 0; });
    EXPECT_EQ(survivor.values.back(), 255);
}

}  // namespace
}  // namespace brenvik
