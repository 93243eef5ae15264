#include "app/TFormMain.h"

#include <shellapi.h>

#include "app/Texts.h"
#include "app/resources/ResourceIds.h"
#include "base/Exception.h"
#include "crash/intercept/Crashlog.h"
#include "platform/Win32CommApi.h"
#include "platform/Win32ImportJournal.h"
#include "platform/Win32Registry.h"
#include "platform/Win32TargetWindow.h"
#include "ui/frame/TTrayIcon.h"
#include "ui/style/TFlatButton.h"
#include "ui/style/TFlatMenuPainter.h"
#include "ui/style/TFlatPanel.h"
#include "ui/style/TImageList.h"
#include "ui/toolkit/GraphicControls.h"
#include "ui/toolkit/Scaling.h"
#include "ui/toolkit/StandardControls.h"
#include "ui/toolkit/TApplication.h"
#include "ui/toolkit/TPopupMenu.h"
#include "ui/toolkit/TRegistryIniFile.h"

namespace brenvik {
namespace {

const char kFormName[] = "FormMain4D643DD6BD8E447C9291EEDF0A10BE65";
const char kMakerNotice[] = "Morvane: program do importu kod\xf3w z kolektora danych.";
constexpr COLORREF kImageKey = RGB(255, 0, 255);

HICON ProgramIcon(int size) {
    return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_BRENVIK), IMAGE_ICON, size,
                                         size, LR_SHARED));
}

// The frame's parts in this window's geometry, and the window's own controls.
const FormDesign& MainDesign() {
    static const FormDesign design = {
        {"form", kFormName, "", {{"ClientSize", "409,300"}, {"Position", "poScreenCenter"}, {"Caption", ""},
                                 {"OnCreate", "FormCreate"}, {"OnDestroy", "FormDestroy"}}},
        {"", "PTitle", "", {{"Bounds", "0,0,409,62"}}},
        {"", "lbEditName", "", {{"Visible", "False"}, {"Caption", ""}}},
        {"", "lbEditDescription", "",
         {{"Bounds", "11,11,336,46"},
          {"Caption", "Wska\xbf miejsce w kt\xf3rym maj\xb9 by\xe6 wprowadzone dane, plik utworzony przez kolektor, a "
                      "nast\xeapnie wybierz Importuj. Pami\xeataj, \xbf"
                      "e podczas importu musi by\xe6 uruchomiony system Veltra II."}}},
        {"", "ShapeImage", "", {{"Bounds", "355,9,46,46"}}},
        {"", "ImageClass", "", {{"Bounds", "362,16,32,32"}, {"Hint", "|Informacja o tw\xf3rcach programu."}}},
        {"", "pnHint", "", {{"Bounds", "0,216,409,38"}}},
        {"", "spHint", "", {{"Bounds", "10,0,395,32"}}},
        {"", "lbHint", "", {{"Bounds", "16,3,384,26"}}},
        {"", "bvBottom", "", {{"Bounds", "0,254,409,3"}}},
        {"", "Panel1", "", {{"Bounds", "0,257,409,43"}}},
        {"", "BtnHelp", "", {{"Caption", "&Pomoc"}}},
        {"", "BtnClose", "",
         {{"Bounds", "228,10,80,23"}, {"Caption", "&Importuj"}, {"ModalResult", "0"}, {"OnClick", "BtnCloseClick"},
          {"Hint", "Przycisk <b>Importuj</b> powoduje wys\xb3"
                   "anie kod\xf3w do systemu Veltra II."}}},
        {"", "BtnCancel", "",
         {{"Bounds", "316,10,80,23"}, {"Caption", "&Zamknij"}, {"OnClick", "BtnCancelClick"},
          {"Hint", "Przycisk <b>Zamknij</b> powoduje zamkni\xea"
                   "cie tego okna dialogowego."}}},
        {"", "cbShowHints", "", {{"StyleController", "EditStyleController1"}}},
        {"TEditStyleController", "EditStyleController1", "",
         {{"BorderColor", "clBtnShadow"}, {"HotColor", "clHighlight"}, {"HotTrack", "True"}}},
        {"TFlatPanel", "FlatPanel1", "", {{"Bounds", "4,68,400,141"}, {"Color", "14278369"}, {"TabOrder", "3"}}},
        {"TLabel", "Label1", "FlatPanel1", {{"Bounds", "24,19,49,13"}, {"Caption", "Port &COM:"}}},
        {"TPickList", "edtComPort", "FlatPanel1", {{"StyleController", "EditStyleController1"}, {"Bounds", "112,16,209,21"}, {"TabOrder", "4"}}},
        {"TCheckBox", "deRefresh", "FlatPanel1",
         {{"StyleController", "EditStyleController1"}, {"Bounds", "112,40,169,21"}, {"Caption", "&Steruj od\x9cwie\xbf"
                                                   "aniem"},
          {"TabOrder", "0"}, {"OnChange", "deCutChange"},
          {"Hint", "|Funkcja <b>Steruj od\x9cwie\xbf"
                   "aniem</b> wy\xb3\xb9"
                   "cza od\x9cwie\xbf"
                   "anie listy wyrob\xf3w podczas skanowania."}}},
        {"TCheckBox", "deCut", "FlatPanel1",
         {{"StyleController", "EditStyleController1"}, {"Bounds", "112,64,169,21"}, {"Caption", "Ucinaj &ko\xf1"
                                                  "c\xf3wki"},
          {"TabOrder", "1"}, {"OnChange", "deCutChange"},
          {"Hint", "|Funkcja <b>Ucinaj ko\xf1"
                   "c\xf3wki</b> odpowiednio formatuje dane dla systemu Veltra II."}}},
        {"TCheckBox", "deIgnore", "FlatPanel1",
         {{"StyleController", "EditStyleController1"}, {"Bounds", "112,88,169,21"}, {"Caption", "I&gnoruj niepe\xb3ne"}, {"TabOrder", "3"},
          {"OnChange", "deCutChange"},
          {"Hint", "|Funkcja <b>Ignoruj niepe\xb3ne</b> spowoduje, \xbf"
                   "e program b\xea"
                   "dzie ignorowa\xb3 wszystkie kody kt\xf3rych d\xb3ugo\x9c\xe6 jest inna ni\xbf podano w polu "
                   "<b>D\xb3ugo\x9c\xe6 kodu</b>."}}},
        {"TLabel", "Label2", "FlatPanel1",
         {{"Bounds", "24,115,71,13"}, {"Caption", "&D\xb3ugo\x9c\xe6 kodu:"}, {"FocusControl", "deCodeLen"}}},
        {"TSpinEdit", "deCodeLen", "FlatPanel1",
         {{"StyleController", "EditStyleController1"}, {"Bounds", "112,112,41,21"}, {"MinValue", "10"}, {"MaxValue", "100"}, {"Value", "10"}, {"TabOrder", "2"},
          {"Hint", "|<b>D\xb3ugo\x9c\xe6 kodu</b> okre\x9cla do jakiej d\xb3ugo\x9c"
                   "ci ma by\xe6 \"uci\xeaty\" importowany kod kreskowy."}}},
    };
    return design;
}

}  // namespace

TFormMain4D643DD6BD8E447C9291EEDF0A10BE65::TFormMain4D643DD6BD8E447C9291EEDF0A10BE65(TComponent* owner)
    : TFormA(owner, MainDesign(), "TFormMain4D643DD6BD8E447C9291EEDF0A10BE65") {
    RegisterHandler("FormCreate", [this](TObject* sender) { FormCreate(sender); });
    RegisterHandler("FormDestroy", [this](TObject* sender) { FormDestroy(sender); });
    RegisterHandler("BtnCloseClick", [this](TObject* sender) { BtnCloseClick(sender); });
    RegisterHandler("BtnCancelClick", [this](TObject* sender) { BtnCancelClick(sender); });
    RegisterHandler("deCutChange", [this](TObject* sender) { deCutChange(sender); });
    RegisterHandler("ImageClassClick", [this](TObject* sender) { ImageClassClick(sender); });
    CreateTrayAndMenu();
}

TFormMain4D643DD6BD8E447C9291EEDF0A10BE65::~TFormMain4D643DD6BD8E447C9291EEDF0A10BE65() = default;

template <typename T>
T& TFormMain4D643DD6BD8E447C9291EEDF0A10BE65::Control(const char* name) {
    auto* control = dynamic_cast<T*>(FindComponent(name));
    if (!control) throw Exception(std::string("Component ") + name + " not found");
    return *control;
}

void TFormMain4D643DD6BD8E447C9291EEDF0A10BE65::CreateTrayAndMenu() {
    popupMenu_ = new TPopupMenu(this);
    popupMenu_->Name = "PopupMenu1";
    popupMenu_->Add("pmOpen", "&Otw\xf3rz", [this](TObject* sender) { pmOpenClick(sender); })->ImageIndex = 1;
    popupMenu_->Add("pmImport", "&Importuj kody", [this](TObject* sender) { BtnCloseClick(sender); })->ImageIndex = 2;
    popupMenu_->Add("N1", "-");
    popupMenu_->Add("pmClose", "&Zamknij", [this](TObject* sender) { pmCloseClick(sender); })->ImageIndex = 0;
    auto* painter = new TFlatMenuPainter(this);
    painter->Name = "FlatMenu1";
    painter->Font = {"Tahoma", 8, 0, SystemColor(7)};
    painter->SelectFontColor = SystemColor(7);
    painter->SetFlatContainers(xcForm | xcToolbar | xcCoolbar | xcControlbar | xcPanel);
    painter->SetFlatControls(xcPopupMenu);
    painter->SetActive(true);
    auto* images = new TImageList(this);
    images->Name = "ImageList1";
    for (int id : {IDB_MENU_CLOSE, IDB_MENU_OPEN, IDB_MENU_IMPORT}) images->AddResource(id, kImageKey);
    popupMenu_->Images = images;
    Control<TFlatPanel>("FlatPanel1").PopupMenu = popupMenu_;
    trayIcon_ = new TTrayIcon(this);
    trayIcon_->Name = "TrayIcon1";
    trayIcon_->SetHint(LoadText(kTextAppTitle));
    HICON icon = ProgramIcon(GetSystemMetrics(SM_CXSMICON));
    trayIcon_->SetIcon(icon ? icon : LoadIcon(nullptr, IDI_APPLICATION));
    // The window and the taskbar owner show the program's icon too.
    for (HWND window : {Handle(), TApplication::Instance().Handle()}) {
        SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
        SendMessageW(window, WM_SETICON, ICON_BIG,
                     reinterpret_cast<LPARAM>(ProgramIcon(GetSystemMetrics(SM_CXICON))));
    }
    // The title band shows the program's picture.
    Control<TImage>("ImageClass").SetPicture(ProgramIcon(ScaleToScreen(32)));
    trayIcon_->SetPopupMenu(popupMenu_);
    trayIcon_->OnDblClick = [this](TObject* sender) { TrayIcon1DblClick(sender); };
    trayIcon_->Loaded();
}

void TFormMain4D643DD6BD8E447C9291EEDF0A10BE65::FormCreate(TObject*) {
    SetCaption(LoadText(kTextAppTitle));
    machineRegistry_ = OpenRegistryReader(HKEY_LOCAL_MACHINE);
    port_ = std::make_unique<TSerialPort32>(SystemCommApi(), *machineRegistry_);
    import_ = std::make_unique<ImportSession>(*port_, *this, SystemTargetWindowApi());
    std::vector<std::string> names;
    TComPortInfoList& ports = port_->PortList();
    for (int i = 0; i < ports.Count(); ++i) names.push_back(ports[i].Text);
    Control<TPickList>("edtComPort").SetItems(names);

    TRegistryIniFile store(LoadText(kTextSettingsKey));
    Control<TPickList>("edtComPort").SetCaption(store.ReadString(kFormName, "ComPort", ""));
    Control<TCheckBox>("deRefresh").SetChecked(store.ReadBool(kFormName, "Refresh", true));
    Control<TCheckBox>("deCut").SetChecked(store.ReadBool(kFormName, "Cut", true));
    Control<TSpinEdit>("deCodeLen").SetValue(store.ReadInteger(kFormName, "CodeLen", 10));
    Control<TCheckBox>("deIgnore").SetChecked(store.ReadBool(kFormName, "Ignore", true));
    deCutChange(this);
}

void TFormMain4D643DD6BD8E447C9291EEDF0A10BE65::FormDestroy(TObject*) {
    TRegistryIniFile store(LoadText(kTextSettingsKey));
    store.WriteString(kFormName, "ComPort", PortDisplayName());
    store.WriteBool(kFormName, "Refresh", RefreshOption());
    store.WriteBool(kFormName, "Cut", CutOption());
    store.WriteInteger(kFormName, "CodeLen", CodeLength());
    store.WriteBool(kFormName, "Ignore", IgnoreOption());
    import_.reset();
    port_.reset();
}

void TFormMain4D643DD6BD8E447C9291EEDF0A10BE65::BtnCloseClick(TObject*) {
    if (import_) import_->Run();
}

void TFormMain4D643DD6BD8E447C9291EEDF0A10BE65::BtnCancelClick(TObject*) { Hide(); }

void TFormMain4D643DD6BD8E447C9291EEDF0A10BE65::pmOpenClick(TObject*) { Show(); }

void TFormMain4D643DD6BD8E447C9291EEDF0A10BE65::TrayIcon1DblClick(TObject*) { Show(); }

// Closing the main window ends the message loop; the window and its port
// are freed after the loop, so an import still running finishes first.
void TFormMain4D643DD6BD8E447C9291EEDF0A10BE65::pmCloseClick(TObject*) { Close(); }

void TFormMain4D643DD6BD8E447C9291EEDF0A10BE65::deCutChange(TObject*) {
    bool enabled = Control<TCheckBox>("deCut").Checked();
    Control<TSpinEdit>("deCodeLen").SetEnabled(enabled);
    Control<TLabel>("Label2").SetEnabled(enabled);
}

void TFormMain4D643DD6BD8E447C9291EEDF0A10BE65::ImageClassClick(TObject*) {
    ShellAboutA(Handle(), TApplication::Instance().Title().c_str(), kMakerNotice,
                ProgramIcon(GetSystemMetrics(SM_CXICON)));
}

std::string TFormMain4D643DD6BD8E447C9291EEDF0A10BE65::PortDisplayName() {
    return Control<TPickList>("edtComPort").Caption();
}
bool TFormMain4D643DD6BD8E447C9291EEDF0A10BE65::RefreshOption() { return Control<TCheckBox>("deRefresh").Checked(); }
bool TFormMain4D643DD6BD8E447C9291EEDF0A10BE65::CutOption() { return Control<TCheckBox>("deCut").Checked(); }
bool TFormMain4D643DD6BD8E447C9291EEDF0A10BE65::IgnoreOption() { return Control<TCheckBox>("deIgnore").Checked(); }
int TFormMain4D643DD6BD8E447C9291EEDF0A10BE65::CodeLength() { return Control<TSpinEdit>("deCodeLen").Value(); }

void TFormMain4D643DD6BD8E447C9291EEDF0A10BE65::ShowInformation(const std::string& text) {
    TApplication::Instance().MessageBox(text, MB_OK | MB_ICONINFORMATION);
}

void TFormMain4D643DD6BD8E447C9291EEDF0A10BE65::SetCaption(const std::string& text) { TForm::SetCaption(text); }

void TFormMain4D643DD6BD8E447C9291EEDF0A10BE65::ProcessMessages() { TApplication::Instance().ProcessMessages(); }

void TFormMain4D643DD6BD8E447C9291EEDF0A10BE65::ImportRunningChanged(bool running) {
    Control<TFlatButton>("BtnClose").SetEnabled(!running);
}

std::unique_ptr<JournalFile> TFormMain4D643DD6BD8E447C9291EEDF0A10BE65::OpenJournal() {
    return CreateImportJournalFile();
}

// The crash facility's warning line: kept with its log, never a box that would stop the import.
void TFormMain4D643DD6BD8E447C9291EEDF0A10BE65::ReportJournalFailure(const std::string& message) {
    if (TCrashlog* facility = TCrashlog::Active()) facility->Failures.Warning(eeLogError, message);
}

}  // namespace brenvik
