// The SMTP progress dialog on its own thread, updated from the sender's.
#include <windows.h>

#include <gtest/gtest.h>

#include <commctrl.h>

#include "DialogDriver.h"
#include "crash/dialog/CrashDialogIds.h"
#include "crash/dialog/SendProgress.h"
#include "crash_dialog_report.h"

namespace brenvik {
namespace {

using namespace dialogtest;
namespace drv = dialogdriver;

std::unique_ptr<TCrashModuleOptions> ProgressOptions() {
    auto options = DialogTestOptions(TCrashModuleOptions::kSendSmtpServer, false);
    options->SetShowSendProgress(true);
    return options;
}

TEST(CrashSendProgress, StatusLineAndBarFollowTheSender) {
    auto options = ProgressOptions();
    TSendProgress progress;
    progress.Start(*options, true);
    ASSERT_TRUE(progress.Ready());
    ASSERT_TRUE(progress.IsOpen());
    HWND dialog = progress.Window();
    EXPECT_EQ(drv::WaitForDialog(L"SMTP.", IDC_PROGRESS_BAR, 2000), dialog);
    EXPECT_NE(GetWindowThreadProcessId(dialog, nullptr), GetCurrentThreadId());

    progress.SetRecipient(1, 2);
    progress.SetSendStatus("Connecting with SMTP server...");
    EXPECT_EQ(drv::ControlText(dialog, IDC_PROGRESS_STATUS), L"Message 1/2: Connecting with SMTP server...");
    progress.SetSendProgress(40);
    EXPECT_EQ(SendDlgItemMessageW(dialog, IDC_PROGRESS_BAR, PBM_GETPOS, 0, 0), 40);
    progress.SetRecipient(2, 2);
    progress.SetSendStatus("Sending message...");
    EXPECT_EQ(drv::ControlText(dialog, IDC_PROGRESS_STATUS), L"Message 2/2: Sending message...");

    progress.Close();
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_FALSE(progress.IsOpen());
    // The handle stays until the next send; talking to it does nothing.
    EXPECT_EQ(progress.Window(), dialog);
    progress.SetSendStatus("late");
    progress.SetSendProgress(90);
}

TEST(CrashSendProgress, NoDialogWithoutProgressDisplayOrOutsideAWindowedProgram) {
    auto off = ProgressOptions();
    off->SetShowSendProgress(false);
    auto noSending = ProgressOptions();
    noSending->SetSendMode(TCrashModuleOptions::kSendNone);
    auto on = ProgressOptions();
    const std::pair<const TCrashModuleOptions*, bool> cases[] = {
        {off.get(), true}, {noSending.get(), true}, {on.get(), false}};
    for (const auto& [options, interactive] : cases) {
        TSendProgress progress;
        progress.Start(*options, interactive);
        EXPECT_EQ(progress.Window(), nullptr);
        EXPECT_FALSE(progress.Ready());
        EXPECT_FALSE(progress.IsOpen());
        progress.SetRecipient(1, 1);
        progress.SetSendStatus("Sending message...");
        progress.SetSendProgress(50);
        progress.Close();
    }
    EXPECT_EQ(drv::WaitForDialog(L"SMTP.", IDC_PROGRESS_BAR, 300), nullptr);
}

TEST(CrashSendProgress, DialogThatCannotBeCreatedDoesNotHoldUpTheSender) {
    auto options = ProgressOptions();
    TSendProgress progress;
    const ULONGLONG started = GetTickCount64();
    // A module without the template; the wait would allow a minute.
    progress.Start(*options, true, GetModuleHandleW(L"kernel32.dll"), 60000);
    // Released by the end of the dialog's thread, long before the bound.
    EXPECT_LT(GetTickCount64() - started, 30000u);
    EXPECT_FALSE(progress.Ready());
    EXPECT_EQ(progress.Window(), nullptr);
    progress.SetSendStatus("Sending message...");
    progress.Close();
}

TEST(CrashSendProgress, EachSendStartsFromAClearState) {
    auto options = ProgressOptions();
    TSendProgress progress;
    progress.Start(*options, true);
    ASSERT_TRUE(progress.Ready());
    HWND first = progress.Window();
    progress.Close();
    auto off = ProgressOptions();
    off->SetShowSendProgress(false);
    progress.Start(*off, true);
    EXPECT_EQ(progress.Window(), nullptr);
    EXPECT_FALSE(progress.Ready());
    EXPECT_FALSE(IsWindow(first));
}

}  // namespace
}  // namespace brenvik
