#include "crash/dialog/ExceptionDialog.h"

#include <commctrl.h>

#include <algorithm>
#include <initializer_list>
#include <sstream>

#include "crash/dialog/CrashDialogIds.h"
#include "crash/dialog/DialogPositionFile.h"
#include "crash/dialog/ExceptionDialogState.h"
#include "crash/dialog/FlatCaption.h"
#include "platform/Cp1250.h"

namespace brenvik {

namespace {

constexpr UINT_PTR kPaintCheckTimer = 1;
constexpr int kPaintChecks = 10;
constexpr UINT kPaintRecheckMs = 50;
constexpr int kTabCount = 4;
constexpr const char* kCannotShow = "Cannot show the DialogBox window.";

void SetText(HWND window, const std::string& text) { SetWindowTextW(window, WideFromCp1250(text).c_str()); }
void SetItemText(HWND dialog, int id, const std::string& text) { SetText(GetDlgItem(dialog, id), text); }

TDialogMetrics Metrics(bool sizingFrame) {
    TDialogMetrics metrics;
    metrics.FrameWidth = GetSystemMetrics(sizingFrame ? SM_CXSIZEFRAME : SM_CXFIXEDFRAME);
    metrics.FrameHeight = GetSystemMetrics(sizingFrame ? SM_CYSIZEFRAME : SM_CYFIXEDFRAME);
    metrics.SmallCaptionHeight = GetSystemMetrics(SM_CYSMCAPTION);
    metrics.ScreenWidth = GetSystemMetrics(SM_CXSCREEN);
    metrics.ScreenHeight = GetSystemMetrics(SM_CYSCREEN);
    return metrics;
}

bool Checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    if (lines.empty()) lines.emplace_back();
    return lines;
}

class TExceptionDialog {
public:
    explicit TExceptionDialog(TExceptionDialogState& state) : s_(state) {}

    INT_PTR Handle(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

private:
    void Initialise(HWND dialog);
    void ApplyView();
    void ShowCompact();
    void ShowDetails();
    void SetFrameStyle();
    void Layout();
    void Remember(bool sized, WPARAM sizeKind);
    void SaveGeometry() const;
    void Paint();
    void CheckPainted();
    void Command(int id, int code);
    void Destroy();
    void SwitchPage();

    TExceptionDialogState& s_;
    HWND dialog_ = nullptr;
    int paintChecks_ = 0;
};

void TExceptionDialog::Initialise(HWND dialog) {
    dialog_ = dialog;
    const TCrashModuleOptions& options = s_.Input.Options;
    s_.SendVisible = options.SendMode() != TCrashModuleOptions::kSendNone && !s_.Input.Duplicate;
    const bool screenshotVisible = s_.SendVisible && options.AttachScreenshot();
    s_.BottomBand = DialogBottomBand(s_.SendVisible, options.AttachScreenshot());
    ShowWindow(GetDlgItem(dialog, IDC_CRASH_SEND), s_.SendVisible ? SW_SHOW : SW_HIDE);
    ShowWindow(GetDlgItem(dialog, IDC_CRASH_SCREENSHOT), screenshotVisible ? SW_SHOW : SW_HIDE);

    SetForegroundWindow(dialog);
    s_.Details = false;

    static constexpr const char* kListBitmaps[] = {"DLL", "BPL", "VCL", "PAS"};
    for (int i = 0; i < 4; ++i) s_.ListBitmaps[i] = LoadBitmapA(s_.Module, kListBitmaps[i]);
    s_.Monitor = LoadBitmapA(s_.Module, "MONITOR");
    s_.GreyBrush = CreateSolidBrush(RGB(212, 209, 200));
    s_.WhiteBrush = CreateSolidBrush(RGB(255, 255, 255));
    s_.Fonts = std::make_unique<TDialogFonts>();

    SetText(dialog, s_.Text(2));
    SetItemText(dialog, IDC_CRASH_OK, s_.Text(12));
    SetItemText(dialog, IDC_CRASH_TERMINATE, s_.Text(options.TerminateAction() == 0 ? 13 : 14));
    SetItemText(dialog, IDC_CRASH_SEND, s_.Text(16));
    SetItemText(dialog, IDC_CRASH_SCREENSHOT, s_.Text(17));
    SetItemText(dialog, IDC_CRASH_COPY, s_.Text(18));
    for (int id : {IDC_CRASH_HEADER, IDC_CRASH_TABS, IDC_CRASH_OK, IDC_CRASH_TERMINATE, IDC_CRASH_DETAILS,
                   IDC_CRASH_SEND, IDC_CRASH_SCREENSHOT, IDC_CRASH_COPY})
        SetControlFont(dialog, id, s_.Fonts->Message());
    CheckDlgButton(dialog, IDC_CRASH_SEND, s_.Choices.SendTicked ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, IDC_CRASH_SCREENSHOT, s_.Choices.ScreenshotTicked ? BST_CHECKED : BST_UNCHECKED);
    EnableWindow(GetDlgItem(dialog, IDC_CRASH_SCREENSHOT), options.SendMode() != TCrashModuleOptions::kSendNone);
    CheckDlgButton(dialog, IDC_CRASH_COPY, BST_UNCHECKED);

    HWND tabs = GetDlgItem(dialog, IDC_CRASH_TABS);
    static constexpr int kTabTexts[kTabCount] = {4, 6, 8, 10};
    for (int i = 0; i < kTabCount; ++i) {
        std::wstring caption = WideFromCp1250(s_.Text(kTabTexts[i]));
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = caption.data();
        SendMessageW(tabs, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
    }
    // A start tab beyond the four pages (a damaged options block) opens the first.
    s_.PageIndex = options.DialogStartTab() < kTabCount ? options.DialogStartTab() : 0;
    SendMessageW(tabs, TCM_SETCURSEL, s_.PageIndex, 0);
    SetFocus(GetDlgItem(dialog, IDC_CRASH_OK));
    s_.Page = CreateDialogPage(s_, tabs, s_.PageIndex);
    ApplyView();
    SetTimer(dialog, kPaintCheckTimer, 1, nullptr);
}

void TExceptionDialog::SetFrameStyle() {
    if (!s_.Flat())
        for (int id : {IDC_CRASH_OK, IDC_CRASH_TERMINATE, IDC_CRASH_DETAILS, IDC_CRASH_SEND, IDC_CRASH_SCREENSHOT,
                       IDC_CRASH_COPY}) {
            HWND button = GetDlgItem(dialog_, id);
            SetWindowLongPtrW(button, GWL_STYLE, GetWindowLongPtrW(button, GWL_STYLE) & ~LONG_PTR{BS_FLAT});
        }
    const LONG_PTR detailsStyle = WS_THICKFRAME | WS_MAXIMIZEBOX | (s_.Flat() ? 0 : WS_SYSMENU);
    LONG_PTR style = GetWindowLongPtrW(dialog_, GWL_STYLE) & ~(WS_THICKFRAME | WS_MAXIMIZEBOX | WS_SYSMENU);
    if (s_.Details) style |= detailsStyle;
    SetWindowLongPtrW(dialog_, GWL_STYLE, style);
    SetWindowPos(dialog_, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void TExceptionDialog::ApplyView() {
    SetFrameStyle();
    if (s_.Details)
        ShowDetails();
    else
        ShowCompact();
    Layout();
    InvalidateRect(dialog_, nullptr, TRUE);
}

void TExceptionDialog::ShowCompact() {
    const std::string& message = s_.Input.Parts.ErrorMessageText;
    SetItemText(dialog_, IDC_CRASH_HEADER, message);
    SetItemText(dialog_, IDC_CRASH_DETAILS, s_.Text(15) + " >>");

    std::vector<std::string> lines = Lines(message);
    lines.push_back(s_.Text(16) + "    " + s_.Text(18));
    HDC dc = GetDC(dialog_);
    HGDIOBJ oldFont = SelectObject(dc, s_.Fonts->Message());
    std::vector<int> widths;
    for (const std::string& line : lines) {
        const std::wstring wide = WideFromCp1250(line);
        SIZE size{};
        GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
        widths.push_back(size.cx);
    }
    TEXTMETRICW font{};
    GetTextMetricsW(dc, &font);
    SelectObject(dc, oldFont);
    ReleaseDC(dialog_, dc);

    const TCompactView view = LayoutCompactView(widths, font.tmHeight, Metrics(false), s_.BottomBand);
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    // While the dialog is being created it stays hidden until it is laid out.
    placement.showCmd = IsWindowVisible(dialog_) ? SW_SHOWNORMAL : SW_HIDE;
    placement.rcNormalPosition = {view.Window.Left, view.Window.Top, view.Window.Right, view.Window.Bottom};
    SetWindowPlacement(dialog_, &placement);
    MoveWindow(GetDlgItem(dialog_, IDC_CRASH_HEADER), 48, 8, view.HeaderWidth, view.HeaderHeight, TRUE);
    ShowWindow(GetDlgItem(dialog_, IDC_CRASH_TABS), SW_HIDE);
}

void TExceptionDialog::ShowDetails() {
    SetItemText(dialog_, IDC_CRASH_HEADER, s_.Text(3));
    SetItemText(dialog_, IDC_CRASH_DETAILS, "<< " + s_.Text(15));
    const TDialogMetrics metrics = Metrics(true);
    const TDetailsGeometry geometry =
        ClampToScreen(TDialogPositionFile::ReadGeometry(metrics, s_.BottomBand), metrics, s_.BottomBand);
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    placement.showCmd = static_cast<UINT>(geometry.WindowState);
    placement.rcNormalPosition = {geometry.Left, geometry.Top, geometry.Left + geometry.Width,
                                  geometry.Top + geometry.Height + s_.BottomBand};
    s_.Remembered.WindowState = geometry.WindowState;
    SetWindowPlacement(dialog_, &placement);
    ShowWindow(GetDlgItem(dialog_, IDC_CRASH_TABS), SW_SHOW);
}

void TExceptionDialog::Layout() {
    RECT client{};
    GetClientRect(dialog_, &client);
    for (const TControlPlace& place : LayoutControls(client.right, client.bottom, s_.BottomBand, s_.Details))
        MoveWindow(GetDlgItem(dialog_, place.Id), place.Bounds.Left, place.Bounds.Top,
                   std::max(place.Bounds.Width(), 0), std::max(place.Bounds.Height(), 0), TRUE);
    const TCrashModuleOptions& options = s_.Input.Options;
    const bool terminateButton =
        options.TerminateButtonAfterErrors() && s_.Input.ErrorCount > options.TerminateErrorCount();
    ShowWindow(GetDlgItem(dialog_, IDC_CRASH_TERMINATE), terminateButton ? SW_SHOW : SW_HIDE);
    ShowWindow(GetDlgItem(dialog_, IDC_CRASH_LINE), SW_HIDE);
    if (s_.Page != nullptr) PlaceDialogPage(s_.Page, GetDlgItem(dialog_, IDC_CRASH_TABS));
}

void TExceptionDialog::Remember(bool sized, WPARAM sizeKind) {
    if (!s_.Details) return;
    RECT window{};
    GetWindowRect(dialog_, &window);
    if (sized) {
        s_.Remembered.WindowState = sizeKind == SIZE_MAXIMIZED   ? SW_MAXIMIZE
                                    : sizeKind == SIZE_MINIMIZED ? SW_MINIMIZE
                                                                 : SW_SHOWNORMAL;
        if (sizeKind != SIZE_RESTORED) return;
        s_.Remembered.Width = window.right - window.left;
        s_.Remembered.Height = window.bottom - window.top;
        s_.HaveRememberedSize = true;
    } else {
        // A minimised window sits far off screen; that is no place to come back to.
        if (IsZoomed(dialog_) || IsIconic(dialog_)) return;
        s_.Remembered.Left = window.left;
        s_.Remembered.Top = window.top;
    }
}

void TExceptionDialog::SaveGeometry() const {
    if (!s_.HaveRememberedSize) return;
    TDetailsGeometry geometry = s_.Remembered;
    geometry.Height -= s_.BottomBand;
    TDialogPositionFile::WriteGeometry(geometry);
}

void TExceptionDialog::Paint() {
    s_.Painted = true;
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(dialog_, &paint);
    if (s_.Monitor != nullptr) {
        BITMAP info{};
        GetObjectW(s_.Monitor, sizeof info, &info);
        HDC source = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(source, s_.Monitor);
        // The bottom-left pixel is the picture's transparent key colour.
        const COLORREF key = GetPixel(source, 0, info.bmHeight - 1);
        TransparentBlt(dc, 8, 8, info.bmWidth, info.bmHeight, source, 0, 0, info.bmWidth, info.bmHeight, key);
        SelectObject(source, old);
        DeleteDC(source);
    }
    EndPaint(dialog_, &paint);
}

void TExceptionDialog::CheckPainted() {
    KillTimer(dialog_, kPaintCheckTimer);
    if (s_.Painted) return;
    // The first tick may come before the window system delivered the first
    // paint of a dialog that is on screen: paint what is pending, and give a
    // visible dialog a short while more before it counts as never shown.
    if (IsWindowVisible(dialog_)) {
        UpdateWindow(dialog_);
        if (s_.Painted) return;
        if (++paintChecks_ < kPaintChecks) {
            SetTimer(dialog_, kPaintCheckTimer, kPaintRecheckMs, nullptr);
            return;
        }
    }
    EndDialog(dialog_, 0);
}

void TExceptionDialog::Command(int id, int code) {
    switch (id) {
        case IDC_CRASH_OK:
            EndDialog(dialog_, 0);
            break;
        case IDC_CRASH_TERMINATE:
            s_.Choices.TerminateRequested = true;
            EndDialog(dialog_, 0);
            break;
        case IDC_CRASH_DETAILS:
            if (s_.Details) SaveGeometry();
            s_.Details = !s_.Details;
            ApplyView();
            break;
        case IDC_CRASH_SEND:
            if (code == BN_CLICKED)
                EnableWindow(GetDlgItem(dialog_, IDC_CRASH_SCREENSHOT), Checked(dialog_, IDC_CRASH_SEND));
            break;
        default:
            break;
    }
}

void TExceptionDialog::Destroy() {
    KillTimer(dialog_, kPaintCheckTimer);
    s_.Choices.SendTicked = Checked(dialog_, IDC_CRASH_SEND);
    s_.Choices.ScreenshotTicked = Checked(dialog_, IDC_CRASH_SCREENSHOT);
    s_.Choices.CopyTicked = Checked(dialog_, IDC_CRASH_COPY);
    if (s_.Page != nullptr) DestroyWindow(s_.Page);
    s_.Page = nullptr;
    if (s_.Details) SaveGeometry();
}

void TExceptionDialog::SwitchPage() {
    HWND tabs = GetDlgItem(dialog_, IDC_CRASH_TABS);
    if (s_.Page != nullptr) DestroyWindow(s_.Page);
    s_.PageIndex = static_cast<int>(SendMessageW(tabs, TCM_GETCURSEL, 0, 0));
    s_.Page = CreateDialogPage(s_, tabs, s_.PageIndex);
    if (s_.Page != nullptr) PlaceDialogPage(s_.Page, tabs);
}

INT_PTR TExceptionDialog::Handle(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (s_.Flat() && s_.Fonts && HandleFlatCaptionMessage(dialog, message, wParam, s_.Fonts->Caption(), s_.Text(2)))
        return TRUE;
    switch (message) {
        case WM_INITDIALOG:
            Initialise(dialog);
            return FALSE;  // the focus is on the OK button already
        case WM_PAINT:
            Paint();
            return TRUE;
        case WM_TIMER:
            if (wParam != kPaintCheckTimer) return FALSE;
            CheckPainted();
            return TRUE;
        case WM_COMMAND:
            Command(LOWORD(wParam), HIWORD(wParam));
            return TRUE;
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            if (header->idFrom != IDC_CRASH_TABS || header->code != TCN_SELCHANGE) return FALSE;
            SwitchPage();
            return TRUE;
        }
        case WM_SIZE:
            Remember(true, wParam);
            Layout();
            return TRUE;
        case WM_MOVE:
            Remember(false, 0);
            return TRUE;
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSTATIC:
            if (!s_.Flat()) return FALSE;
            SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
            SetTextColor(reinterpret_cast<HDC>(wParam), RGB(0, 0, 0));
            return reinterpret_cast<INT_PTR>(s_.GreyBrush);
        case WM_DESTROY:
            Destroy();
            return TRUE;
        default:
            return FALSE;
    }
}

INT_PTR CALLBACK ExceptionDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    auto* handler = reinterpret_cast<TExceptionDialog*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (handler == nullptr) return FALSE;
    try {
        return handler->Handle(dialog, message, wParam, lParam);
    } catch (...) {
        // A failure inside the crash dialog must not re-enter the facility
        // that is showing it; the message is left to the default handling.
        return FALSE;
    }
}

}  // namespace

TExceptionDialogState::~TExceptionDialogState() {
    for (HBITMAP bitmap : ListBitmaps)
        if (bitmap != nullptr) DeleteObject(bitmap);
    for (HGDIOBJ object :
         {static_cast<HGDIOBJ>(Monitor), static_cast<HGDIOBJ>(GreyBrush), static_cast<HGDIOBJ>(WhiteBrush)})
        if (object != nullptr) DeleteObject(object);
}

TExceptionDialogChoices ShowExceptionDialog(const TExceptionDialogInput& input) {
    if (input.Trace != nullptr) input.Trace->Trace("ShowDialog");
    HWND previousForeground = GetForegroundWindow();
    MessageBeep(MB_ICONHAND);

    TExceptionDialogChoices choices;
    choices.SendTicked = input.Options.SendMode() != TCrashModuleOptions::kSendNone;
    choices.ScreenshotTicked = input.Options.AttachScreenshot();
    bool painted = false;
    for (;;) {
        TExceptionDialogState state(input, choices);
        state.Module = input.ResourceModule != nullptr ? input.ResourceModule : GetModuleHandleW(nullptr);
        TExceptionDialog dialog(state);
        DialogBoxParamW(state.Module, L"DIALOG", nullptr, ExceptionDialogProc, reinterpret_cast<LPARAM>(&dialog));
        painted = state.Painted;
        if (!painted) {
            const std::wstring text = WideFromCp1250(input.Parts.ErrorMessageText);
            const std::wstring caption = WideFromCp1250(input.Options.GetText(2));
            MessageBoxW(nullptr, text.c_str(), caption.c_str(),
                        MB_ICONHAND | MB_TASKMODAL | MB_TOPMOST | MB_SERVICE_NOTIFICATION);
        }
        if (!choices.TerminateRequested || !input.BeforeTerminate) break;
        bool terminate = true;
        input.BeforeTerminate(kActionBeforeTerminate, terminate);
        if (terminate) break;
        choices.TerminateRequested = false;
    }
    if (!painted && input.Failures != nullptr) input.Failures->Warning(eeShowError, kCannotShow);
    choices.Shown = painted;
    if (previousForeground != nullptr) SetForegroundWindow(previousForeground);
    return choices;
}

}  // namespace brenvik
