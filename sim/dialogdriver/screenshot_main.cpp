// Shows one crash-report dialog on a real report of this program and saves
// it as a bitmap, for the project's screenshots:
//   crash_dialog_screenshot VIEW OUT.bmp
// VIEW: compact, general, callstack, modules, cpu, request or progress.
#include <windows.h>

#include <cstdio>
#include <string>
#include <thread>

#include "DialogDriver.h"
#include "crash/dialog/CrashDialogIds.h"
#include "crash/dialog/ExceptionDialog.h"
#include "crash/dialog/RequestDialog.h"
#include "crash/dialog/SendProgress.h"
#include "crash_dialog_report.h"

using namespace brenvik;
namespace drv = brenvik::dialogdriver;

namespace {

constexpr const char* kMessage =
    "Access violation at address 0040A1F2 in module 'Brenvik.exe'. Read of address 00000000.";
constexpr DWORD kSettleMs = 700;

bool Capture(HWND window, const std::wstring& out) {
    if (window == nullptr) return false;
    Sleep(kSettleMs);  // let the pages and lists paint
    return drv::SaveWindowBitmap(window, out);
}

int TabOf(const std::string& view) {
    if (view == "general") return 0;
    if (view == "callstack") return 1;
    if (view == "modules") return 2;
    if (view == "cpu") return 3;
    return -1;
}

bool ExceptionDialogShot(const std::string& view, const std::wstring& out) {
    auto options = dialogtest::DialogTestOptions(TCrashModuleOptions::kSendSmtpServer, true);
    auto report = dialogtest::BuildReportHere(*options, kMessage);
    TExceptionDialogInput input(report->Parts, report->Stack, report->Modules.Modules(), *options,
                                report->ProgramFileName);
    input.ErrorCount = 4;  // past the count: the terminate button shows
    bool saved = false;
    std::thread driver([&] {
        HWND dialog = drv::WaitForDialog(L"Error.", IDC_CRASH_OK);
        if (dialog == nullptr) return;
        const int tab = TabOf(view);
        if (tab >= 0) {
            drv::Click(dialog, IDC_CRASH_DETAILS);
            drv::SelectTab(dialog, IDC_CRASH_TABS, tab);
        }
        saved = Capture(dialog, out);
        if (tab >= 0) drv::Click(dialog, IDC_CRASH_DETAILS);
        drv::Click(dialog, IDC_CRASH_OK);
    });
    ShowExceptionDialog(input);
    driver.join();
    return saved;
}

bool RequestDialogShot(const std::wstring& out) {
    auto options = dialogtest::DialogTestOptions(TCrashModuleOptions::kSendSmtpServer, false);
    options->SetReportFlags(TCrashModuleOptions::kAskReproduceSteps);
    bool saved = false;
    std::thread driver([&] {
        HWND dialog = drv::WaitForDialog(L"Request", IDC_REQUEST_EDIT);
        if (dialog == nullptr) return;
        drv::TypeText(dialog, IDC_REQUEST_EDIT,
                      L"Chose COM1, pressed Import,\r\nthen closed the window from the tray.");
        saved = Capture(dialog, out);
        drv::Click(dialog, IDC_REQUEST_OK);
    });
    ShowRequestDialog(*options, true, false);
    driver.join();
    return saved;
}

bool ProgressDialogShot(const std::wstring& out) {
    auto options = dialogtest::DialogTestOptions(TCrashModuleOptions::kSendSmtpServer, false);
    TSendProgress progress;
    progress.Start(*options, true);
    progress.SetRecipient(1, 2);
    progress.SetSendStatus(options->GetText(58));
    progress.SetSendProgress(60);
    const bool saved = Capture(progress.Window(), out);
    progress.Close();
    return saved;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: crash_dialog_screenshot VIEW OUT.bmp\n");
        return 2;
    }
    std::wstring wideView = argv[1];
    const std::string view(wideView.begin(), wideView.end());
    const std::wstring out = argv[2];
    bool saved = false;
    if (view == "request")
        saved = RequestDialogShot(out);
    else if (view == "progress")
        saved = ProgressDialogShot(out);
    else if (view == "compact" || TabOf(view) >= 0)
        saved = ExceptionDialogShot(view, out);
    else
        std::fprintf(stderr, "unknown view %s\n", view.c_str());
    return saved ? 0 : 1;
}
