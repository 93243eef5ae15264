#include "app/HostWindow.h"

#include <commctrl.h>

#include "app/Texts.h"
#include "platform/Cp1250.h"
#include "platform/Win32CommApi.h"
#include "platform/Win32Registry.h"
#include "platform/Win32TargetWindow.h"
#include "ui/toolkit/TRegistryIniFile.h"

namespace brenvik {
namespace {

const char kSection[] = "FormMain4D643DD6BD8E447C9291EEDF0A10BE65";
constexpr int kMinCodeLength = 10, kMaxCodeLength = 100;
enum ControlId { kIdImport = 100, kIdClose, kIdPort, kIdRefresh, kIdCut, kIdIgnore, kIdCodeLen };

// Options panel origin; control positions below are relative to it.
constexpr int kPanelLeft = 4, kPanelTop = 68;

HWND AddControl(HWND parent, const wchar_t* className, const std::string& text, DWORD style, int left, int top,
                int width, int height, int id) {
    HWND control = CreateWindowExW(0, className, WideFromCp1250(text).c_str(), WS_CHILD | WS_VISIBLE | style,
                                   kPanelLeft + left, kPanelTop + top, width, height, parent,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), TRUE);
    return control;
}

bool Checked(HWND box) { return SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED; }
void SetChecked(HWND box, bool on) { SendMessageW(box, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0); }

std::wstring WindowText(HWND window) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

void ShowError(HWND owner, const char* message) {
    MessageBoxW(owner, WideFromCp1250(message).c_str(), L"Error", MB_OK | MB_ICONERROR);
}

}  // namespace

HostWindow::HostWindow(HINSTANCE instance) : instance_(instance) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kClassName;
    RegisterClassExW(&windowClass);

    RECT frame{0, 0, 409, 300};
    DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    AdjustWindowRectEx(&frame, style, FALSE, WS_EX_CONTROLPARENT);
    window_ = CreateWindowExW(WS_EX_CONTROLPARENT, kClassName, L"", style, CW_USEDEFAULT, CW_USEDEFAULT,
                              frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, instance, this);

    SetCaption(LoadText(kTextAppTitle));
    machineRegistry_ = OpenRegistryReader(HKEY_LOCAL_MACHINE);
    port_ = std::make_unique<TSerialPort32>(SystemCommApi(), *machineRegistry_);
    import_ = std::make_unique<ImportSession>(*port_, *this, SystemTargetWindowApi());
    CreateControls();
    FillPortList();
    LoadSettings();
    deCutChange();
}

HostWindow::~HostWindow() {
    if (window_) DestroyWindow(window_);
}

void HostWindow::Show(int showCommand) {
    ShowWindow(window_, showCommand);
    UpdateWindow(window_);
}

void HostWindow::CreateControls() {
    AddControl(window_, L"STATIC", "Port &COM:", 0, 24, 19, 80, 16, -1);
    edtComPort_ = AddControl(window_, WC_COMBOBOXW, "", CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP, 112,
                             16, 209, 200, kIdPort);
    deRefresh_ = AddControl(window_, L"BUTTON", "&Steruj od\x9c" "wie\xbf" "aniem", BS_AUTOCHECKBOX | WS_TABSTOP, 112,
                            40, 169, 21, kIdRefresh);
    deCut_ = AddControl(window_, L"BUTTON", "Ucinaj &ko\xf1" "c\xf3wki", BS_AUTOCHECKBOX | WS_TABSTOP, 112, 64, 169,
                        21, kIdCut);
    deIgnore_ = AddControl(window_, L"BUTTON", "I&gnoruj niepe\xb3ne", BS_AUTOCHECKBOX | WS_TABSTOP, 112, 88, 169,
                           21, kIdIgnore);
    label2_ = AddControl(window_, L"STATIC", "&D\xb3ugo\x9c\xe6 kodu:", 0, 24, 115, 80, 16, -1);
    deCodeLen_ = AddControl(window_, L"EDIT", "10", ES_NUMBER | WS_BORDER | WS_TABSTOP, 112, 112, 41, 21, kIdCodeLen);
    codeLenSpin_ = CreateWindowExW(0, UPDOWN_CLASSW, nullptr,
                                   WS_CHILD | WS_VISIBLE | UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS, 0, 0, 0,
                                   0, window_, nullptr, instance_, nullptr);
    SendMessageW(codeLenSpin_, UDM_SETBUDDY, reinterpret_cast<WPARAM>(deCodeLen_), 0);
    SendMessageW(codeLenSpin_, UDM_SETRANGE32, kMinCodeLength, kMaxCodeLength);
    btnClose_ = AddControl(window_, L"BUTTON", "&Importuj", BS_DEFPUSHBUTTON | WS_TABSTOP, 228 - kPanelLeft,
                           265 - kPanelTop, 80, 25, kIdImport);
    AddControl(window_, L"BUTTON", "&Zamknij", BS_PUSHBUTTON | WS_TABSTOP, 316 - kPanelLeft, 265 - kPanelTop, 80, 25,
               kIdClose);
}

void HostWindow::FillPortList() {
    TComPortInfoList& ports = port_->PortList();
    for (int i = 0; i < ports.Count(); ++i)
        SendMessageW(edtComPort_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(WideFromCp1250(ports[i].Text).c_str()));
}

void HostWindow::LoadSettings() {
    TRegistryIniFile store(LoadText(kTextSettingsKey));
    SetWindowTextW(edtComPort_, WideFromCp1250(store.ReadString(kSection, "ComPort", "")).c_str());
    SetChecked(deRefresh_, store.ReadBool(kSection, "Refresh", true));
    SetChecked(deCut_, store.ReadBool(kSection, "Cut", true));
    SendMessageW(codeLenSpin_, UDM_SETPOS32, 0, store.ReadInteger(kSection, "CodeLen", kMinCodeLength));
    SendMessageW(codeLenSpin_, UDM_SETPOS32, 0, CodeLength());  // brings a stored value into range
    SetChecked(deIgnore_, store.ReadBool(kSection, "Ignore", true));
}

void HostWindow::SaveSettings() {
    TRegistryIniFile store(LoadText(kTextSettingsKey));
    store.WriteString(kSection, "ComPort", PortDisplayName());
    store.WriteBool(kSection, "Refresh", RefreshOption());
    store.WriteBool(kSection, "Cut", CutOption());
    store.WriteInteger(kSection, "CodeLen", CodeLength());
    store.WriteBool(kSection, "Ignore", IgnoreOption());
}

std::string HostWindow::PortDisplayName() { return Cp1250FromWide(WindowText(edtComPort_)); }
bool HostWindow::RefreshOption() { return Checked(deRefresh_); }
bool HostWindow::CutOption() { return Checked(deCut_); }
bool HostWindow::IgnoreOption() { return Checked(deIgnore_); }

int HostWindow::CodeLength() {
    BOOL failed = FALSE;
    int value = static_cast<int>(SendMessageW(codeLenSpin_, UDM_GETPOS32, 0, reinterpret_cast<LPARAM>(&failed)));
    if (value < kMinCodeLength) return kMinCodeLength;
    return value > kMaxCodeLength ? kMaxCodeLength : value;
}

void HostWindow::ShowInformation(const std::string& text) {
    MessageBoxW(window_, WideFromCp1250(text).c_str(), L"Information", MB_OK | MB_ICONINFORMATION);
}

void HostWindow::SetCaption(const std::string& text) { SetWindowTextW(window_, WideFromCp1250(text).c_str()); }

void HostWindow::ProcessMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));  // leave it for the main loop
            return;
        }
        if (!IsDialogMessageW(window_, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

void HostWindow::ImportRunningChanged(bool running) {
    EnableWindow(btnClose_, !running);
    if (!running && closeRequested_) PostMessageW(window_, WM_CLOSE, 0, 0);
}

void HostWindow::BtnCloseClick() { import_->Run(); }

void HostWindow::deCutChange() {
    bool enabled = CutOption();
    EnableWindow(deCodeLen_, enabled);
    EnableWindow(codeLenSpin_, enabled);
    EnableWindow(label2_, enabled);
}

LRESULT CALLBACK HostWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<HostWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<HostWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self) return DefWindowProcW(window, message, wParam, lParam);
    // No exception may cross back into the window manager.
    try {
        return self->OnMessage(window, message, wParam, lParam);
    } catch (const std::exception& error) {
        ShowError(window, error.what());
    } catch (...) {
        ShowError(window, "Unknown error");
    }
    return 0;
}

LRESULT HostWindow::OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case kIdImport: BtnCloseClick(); return 0;
        case kIdClose: PostMessageW(window_, WM_CLOSE, 0, 0); return 0;
        case kIdRefresh: case kIdCut: case kIdIgnore:
            if (HIWORD(wParam) == BN_CLICKED) deCutChange();
            return 0;
        }
        break;
    case WM_CLOSE:
        // The import runs inside a click handler on this window; closing now
        // would free the port under it. Close once it is over.
        if (import_ && import_->Running()) {
            closeRequested_ = true;
            return 0;
        }
        SaveSettings();
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        window_ = nullptr;
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace brenvik
