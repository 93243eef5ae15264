#include "crash/dialog/RequestDialog.h"

#include <memory>

#include "crash/dialog/CrashDialogIds.h"
#include "crash/dialog/DialogFonts.h"
#include "crash/dialog/FlatCaption.h"
#include "platform/Cp1250.h"

namespace brenvik {

namespace {

struct TRequestDialog {
    const TCrashModuleOptions& Options;
    std::string Answer;
    std::unique_ptr<TDialogFonts> Fonts;
};

void SetItem(HWND dialog, int id, const std::string& text, HFONT font) {
    SetDlgItemTextW(dialog, id, WideFromCp1250(text).c_str());
    SetControlFont(dialog, id, font);
}

std::string EditText(HWND edit) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(edit)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(edit, text.data(), static_cast<int>(text.size()))));
    return Cp1250FromWide(text);
}

INT_PTR HandleRequest(TRequestDialog& request, HWND dialog, UINT message, WPARAM wParam) {
    if (request.Options.FlatDialogLook() && request.Fonts &&
        HandleFlatCaptionMessage(dialog, message, wParam, request.Fonts->Caption(), request.Options.GetText(59)))
        return TRUE;
    switch (message) {
        case WM_INITDIALOG:
            request.Fonts = std::make_unique<TDialogFonts>();
            SetWindowTextW(dialog, WideFromCp1250(request.Options.GetText(59)).c_str());
            SetItem(dialog, IDC_REQUEST_LABEL, request.Options.GetText(60), request.Fonts->Message());
            SetItem(dialog, IDC_REQUEST_OK, request.Options.GetText(61), request.Fonts->Message());
            SetControlFont(dialog, IDC_REQUEST_EDIT, request.Fonts->Fixed());
            return TRUE;
        case WM_COMMAND:
            // OK, Escape and the close box all arrive here as id 2.
            if (LOWORD(wParam) != IDC_REQUEST_OK) return FALSE;
            request.Answer = TrimRequestText(EditText(GetDlgItem(dialog, IDC_REQUEST_EDIT)));
            EndDialog(dialog, 0);
            return TRUE;
        default:
            return FALSE;
    }
}

INT_PTR CALLBACK RequestDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    auto* request = reinterpret_cast<TRequestDialog*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (request == nullptr) return FALSE;
    try {
        return HandleRequest(*request, dialog, message, wParam);
    } catch (...) {
        // Never let a failure leave the crash dialog through the window system.
        return FALSE;
    }
}

}  // namespace

bool RequestDialogWanted(const TCrashModuleOptions& options, bool interactiveProgram, bool duplicate) {
    return (options.ReportFlags() & TCrashModuleOptions::kAskReproduceSteps) != 0 && interactiveProgram && !duplicate &&
           (options.SendMode() != TCrashModuleOptions::kSendNone || options.SaveLogFile());
}

std::string TrimRequestText(const std::string& text) {
    const auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
    std::size_t first = 0, last = text.size();
    while (first < last && blank(text[first])) ++first;
    while (last > first && blank(text[last - 1])) --last;
    return text.substr(first, last - first);
}

std::string ShowRequestDialog(const TCrashModuleOptions& options, bool interactiveProgram, bool duplicate,
                              HINSTANCE resourceModule) {
    if (!RequestDialogWanted(options, interactiveProgram, duplicate)) return {};
    TRequestDialog request{options, {}, nullptr};
    DialogBoxParamW(resourceModule != nullptr ? resourceModule : GetModuleHandleW(nullptr), L"REQUEST", nullptr,
                    RequestDialogProc, reinterpret_cast<LPARAM>(&request));
    return request.Answer;
}

}  // namespace brenvik
