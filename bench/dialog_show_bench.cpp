// How quickly the exception dialog is up on a real report of this program,
// and how long the details view takes to fill its call-stack and module
// pages. A driver thread waits for each step the way a user would see it.
// Prints "<figure> <value>" lines.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

#include "DialogDriver.h"
#include "Measure.h"
#include "crash/dialog/CrashDialogIds.h"
#include "crash/dialog/ExceptionDialog.h"
#include "crash_dialog_report.h"

using namespace brenvik;
namespace drv = brenvik::dialogdriver;

namespace {

constexpr int kShowings = 15;
using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

}  // namespace

int main() {
    auto options = dialogtest::DialogTestOptions(TCrashModuleOptions::kSendSmtpServer, true);
    auto report = dialogtest::BuildReportHere(*options, "Access violation at address 00000000.");
    TExceptionDialogInput input(report->Parts, report->Stack, report->Modules.Modules(), *options,
                                report->ProgramFileName);
    std::vector<double> open, stackPage, modulesPage;
    for (int i = 0; i < kShowings; ++i) {
        const Clock::time_point start = Clock::now();
        std::thread driver([&] {
            HWND dialog = drv::WaitForDialog(L"Error.", IDC_CRASH_OK);
            if (dialog == nullptr) return;
            open.push_back(MillisecondsSince(start));
            drv::Click(dialog, IDC_CRASH_DETAILS);
            Clock::time_point page = Clock::now();
            drv::SelectTab(dialog, IDC_CRASH_TABS, 1);
            stackPage.push_back(MillisecondsSince(page));
            page = Clock::now();
            drv::SelectTab(dialog, IDC_CRASH_TABS, 2);
            modulesPage.push_back(MillisecondsSince(page));
            drv::SelectTab(dialog, IDC_CRASH_TABS, 0);
            drv::Click(dialog, IDC_CRASH_DETAILS);
            drv::Click(dialog, IDC_CRASH_OK);
        });
        ShowExceptionDialog(input);
        driver.join();
    }
    std::printf("# %zu stack entries, %zu modules, %d showings\n", report->Stack.size(),
                report->Modules.Modules().size(), kShowings);
    std::printf("dialog_open_ms %.2f\n", Median(open));
    std::printf("dialog_callstack_page_ms %.2f\n", Median(stackPage));
    std::printf("dialog_modules_page_ms %.2f\n", Median(modulesPage));
    return open.size() == kShowings ? 0 : 1;
}
