#include "ui/frame/TFormA.h"

#include "app/Texts.h"
#include "base/Exception.h"
#include "ui/frame/TMarkupLabelControl.h"
#include "ui/frame/TThreadAlphaBlend.h"
#include "ui/style/StyleControls.h"
#include "ui/toolkit/Hints.h"
#include "ui/toolkit/Scaling.h"
#include "ui/toolkit/StandardControls.h"
#include "ui/toolkit/TApplication.h"
#include "ui/toolkit/TRegistryIniFile.h"

namespace brenvik {
namespace {

const char kSettingsPath[] = "SOFTWARE";
const char kSettingsSection[] = "SaveForms";
constexpr int kHintPanelSlack = 4;  // the panel's height minus this is what the dialog grows by

using HtmlHelpFunction = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);

}  // namespace

const FormDesign& TFormA::Design() {
    static const FormDesign design = {
        {"form", "FormA", "", {{"ClientSize", "522,359"}, {"BorderStyle", "bsDialog"}, {"Position", "poOwnerFormCenter"},
                               {"FontName", "MS Sans Serif"}, {"FontHeight", "-11"}, {"Caption", "FormA"},
                               {"AlphaBlend", "True"}, {"AlphaBlendValue", "0"}, {"OnShow", "FormShow"},
                               {"OnHide", "FormHide"}, {"OnClose", "FormClose"}}},
        {"TPanel", "PTitle", "", {{"Bounds", "0,0,522,62"}, {"Align", "alTop"}, {"Color", "clWindow"},
                                  {"TabOrder", "0"}}},
        {"TLabel", "lbEditName", "PTitle", {{"Bounds", "9,9,54,13"}, {"Caption", "lbEditName"}}},
        {"TLabel", "lbEditDescription", "PTitle", {{"Bounds", "27,27,430,26"}, {"Anchors", "akLeft,akTop,akRight"},
                                                   {"AutoSize", "False"}, {"WordWrap", "True"},
                                                   {"Caption", "lbEditDescription"}}},
        {"TShape", "ShapeImage", "PTitle", {{"Bounds", "468,9,46,46"}, {"Anchors", "akTop,akRight"},
                                            {"BrushColor", "clBtnFace"}, {"PenColor", "clBtnShadow"},
                                            {"PenWidth", "3"}}},
        {"TImage", "ImageClass", "PTitle",
         {{"Bounds", "475,16,32,32"}, {"Anchors", "akTop,akRight"}, {"AutoSize", "True"}, {"Cursor", "crHandPoint"},
          {"OnClick", "ImageClassClick"},
          {"Hint", "|Umo\xbfliwia wybranie element\xf3w na formularzu i kolejno\x9c\xe6 przechodzenia pomi\xea"
                   "dzy nimi klawiszem <b>Tab</b>."}}},
        {"TBevel", "Bevel", "", {{"Bounds", "0,62,522,2"}, {"Align", "alTop"}, {"Shape", "bsTopLine"}}},
        {"TPanel", "pnHint", "", {{"Bounds", "0,275,522,38"}, {"Align", "alBottom"}, {"TabOrder", "1"}}},
        {"TShape", "spHint", "pnHint", {{"Bounds", "10,0,508,32"}, {"Anchors", "akLeft,akTop,akRight"},
                                        {"BrushColor", "clInfoBk"}, {"PenColor", "clBtnShadow"}}},
        {"TMarkupLabel", "lbHint", "pnHint",
         {{"Bounds", "16,3,497,26"}, {"Anchors", "akLeft,akTop,akRight,akBottom"}, {"Transparent", "True"},
          {"AutoSizing", "False"}, {"Ellipsis", "False"}, {"URLColor", "clBlue"}}},
        {"TBevel", "bvBottom", "", {{"Bounds", "0,313,522,3"}, {"Align", "alBottom"}, {"Shape", "bsTopLine"}}},
        {"TPanel", "Panel1", "", {{"Bounds", "0,316,522,43"}, {"Align", "alBottom"}, {"TabOrder", "2"}}},
        {"TFlatButton", "BtnHelp", "Panel1",
         {{"Bounds", "10,10,80,23"}, {"FontName", "Arial Unicode MS"}, {"FontHeight", "-11"}, {"Caption", "Pomoc"}, {"OnClick", "BtnHelpClick"}, {"TabOrder", "1"},
          {"Hint", "|Przycisk <b>Pomoc</b> udost\xeapnia tematy pomocy i porady u\xb3"
                   "atwiaj\xb9"
                   "ce u\xbfytkownikom wykonywanie zada\xf1."}}},
        {"TCheckBox", "cbShowHints", "Panel1",
         {{"Bounds", "97,11,120,21"}, {"Caption", "Poka\xbf podpowiedzi"}, {"Checked", "True"},
          {"OnChange", "cbShowHintsChange"}, {"TabOrder", "0"}, {"Hint", "|Pokazuje lub chowa podpowiedzi"}}},
        {"TFlatButton", "BtnClose", "Panel1",
         {{"Bounds", "341,10,80,23"}, {"FontName", "Arial Unicode MS"}, {"FontHeight", "-11"}, {"Anchors", "akTop,akRight"}, {"Caption", "Zastosuj"}, {"ModalResult", "1"},
          {"TabOrder", "2"},
          {"Hint", "|Przycisk <b>Zastosuj</b> powoduje zamkni\xea"
                   "cie tego okna dialogowego i zachowanie wprowadzonych zmian."}}},
        {"TFlatButton", "BtnCancel", "Panel1",
         {{"Bounds", "429,10,80,23"}, {"FontName", "Arial Unicode MS"}, {"FontHeight", "-11"}, {"Anchors", "akTop,akRight"}, {"Caption", "Anuluj"}, {"ModalResult", "2"},
          {"TabOrder", "3"},
          {"Hint", "|Przycisk <b>Anuluj</b> powoduje zamkni\xea"
                   "cie tego okna dialogowego bez zapisywania dokonanych zmian."}}},
    };
    return design;
}

TFormA::TFormA(TComponent* owner, const FormDesign& changes, std::string className)
    : TForm(owner, std::move(className)) {
    RegisterStyleControls();
    RegisterHandler("FormShow", [this](TObject* sender) { FormShow(sender); });
    RegisterHandler("FormHide", [this](TObject* sender) { FormHide(sender); });
    RegisterHandler("FormClose", [this](TObject* sender) { FormClose(sender); });
    RegisterHandler("cbShowHintsChange", [this](TObject* sender) { cbShowHintsChange(sender); });
    RegisterHandler("BtnHelpClick", [this](TObject* sender) { BtnHelpClick(sender); });
    RegisterHandler("ImageClassClick", [](TObject*) {});
    FormDesign design = Design();
    // The derived design names its own form: its entry changes the frame's.
    Name = changes.empty() ? "FormA" : changes.front().Name;
    design.front().Name = Name;
    LoadDesign(MergeDesigns(design, changes));
    // The title band's caption, never drawn, carries the description for
    // screen readers and tools: the label that shows it has no window.
    Part("PTitle").SetCaption(Part("lbEditDescription").Caption());
    // A stored choice that cannot be read is reported; the dialog stays.
    try {
        LoadSettings();
    } catch (...) {
        TApplication::Instance().HandleException(std::current_exception());
    }
}

TControl& TFormA::Part(const char* name) {
    auto* control = dynamic_cast<TControl*>(FindComponent(name));
    if (!control) throw Exception(std::string("Component ") + name + " not found");
    return *control;
}

void TFormA::SetHintText(const std::string& text) {
    dynamic_cast<TMarkupLabelControl&>(Part("lbHint")).SetMarkupText(text);
    // Likewise the hint panel's caption carries the hint's plain text.
    Part("pnHint").SetCaption(StripMarkup(text));
}

std::string TFormA::GetControlDescriptions() {
    return "Panel1=Przyciski (Grupa)\r"
           "BtnHelp=Pomoc (Przycisk)\r"
           "BtnClose=Zamknij (Przycisk)\r"
           "BtnCancel=Anuluj (Przycisk)\r"
           "pnHint=Podpowiedzi (Panel)\r"
           "cbShowHints=Poka\xbf podpowiedzi (Wyb\xf3r)\r"
           "PTitle=Panel tytu\xb3owy (Panel)\r";
}

void TFormA::LoadSettings() {
    TRegistryIniFile store(kSettingsPath);
    bool shown = store.ReadBool(kSettingsSection, ClassName() + "." + Name, false);
    dynamic_cast<TCheckBox&>(Part("cbShowHints")).SetChecked(shown);
}

void TFormA::SaveSettings() {
    TRegistryIniFile store(kSettingsPath);
    store.WriteBool(kSettingsSection, ClassName() + "." + Name,
                    dynamic_cast<TCheckBox&>(Part("cbShowHints")).Checked());
}

void TFormA::FormShow(TObject*) {
    SetHintText(LoadText(kTextDefaultHint));
    TApplication& application = TApplication::Instance();
    savedHintHandler_ = application.OnHint;
    application.OnHint = [this](TObject* sender) { ShowApplicationHint(sender); };
    SetAlphaBlendValue(0);
    SetAlphaBlend(true);
    new TThreadAlphaBlend(Link());
}

void TFormA::FormHide(TObject*) { TApplication::Instance().OnHint = savedHintHandler_; }

void TFormA::FormClose(TObject*) {
    if (ModalResult == mrOk)
        SaveSettings();
    else if (ModalResult == mrCancel)
        LoadSettings();
}

void TFormA::ShowApplicationHint(TObject*) {
    std::string hint = LongHint(TApplication::Instance().Hint());
    SetHintText(hint.empty() ? LoadText(kTextDefaultHint) : hint);
}

void TFormA::cbShowHintsChange(TObject*) {
    TControl& panel = Part("pnHint");
    TControl& bottom = Part("bvBottom");
    bool shown = dynamic_cast<TCheckBox&>(Part("cbShowHints")).Checked();
    panel.SetTop(bottom.Top() - 1);
    int change = panel.Height() - ScaleToScreen(kHintPanelSlack);
    SetBounds({Left(), Top(), BoundsRect().Right, Top() + Height() + (shown ? change : -change)});
    panel.SetVisible(shown);
    panel.SetTop(bottom.Top() - 1);
    bottom.SetTop(panel.Top() + panel.Height() + 1);
    SetHintText(LoadText(kTextDefaultHint));
}

void TFormA::BtnHelpClick(TObject*) {
    std::string address = "::html\\" + GetHelpTopic() + ".htm";  // the program sets no help file
    if (HMODULE control = LoadLibraryA("hhctrl.ocx")) {
        // Through the generic function type: the entry point's real type is not FARPROC's.
        if (auto help = reinterpret_cast<HtmlHelpFunction>(
                reinterpret_cast<void (*)()>(GetProcAddress(control, "HtmlHelpA"))))
            help(nullptr, address.c_str(), 0, 0);
    }
}

}  // namespace brenvik
