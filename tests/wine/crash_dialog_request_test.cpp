// The request dialog, worked by a driver thread, and how its answer ends up
// in the log entry.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <thread>

#include "DialogDriver.h"
#include "crash/dialog/CrashDialogIds.h"
#include "crash/dialog/RequestDialog.h"
#include "crash/report/CrashLogWriter.h"
#include "crash/report/TLogFile.h"
#include "crash_dialog_report.h"

namespace brenvik {
namespace {

using namespace dialogtest;
namespace drv = dialogdriver;

std::unique_ptr<TCrashModuleOptions> RequestOptions() {
    auto options = DialogTestOptions(TCrashModuleOptions::kSendNone, false);
    options->SetReportFlags(TCrashModuleOptions::kAskReproduceSteps);
    options->SetSaveLogFile(true);
    return options;
}

// Shows the request dialog here while `drive` works it; closes what is left.
std::string RunRequestDialog(const TCrashModuleOptions& options, const std::function<void(HWND)>& drive) {
    std::thread driver([&] {
        HWND dialog = drv::WaitForDialog(L"Request", IDC_REQUEST_EDIT, 3000);
        drive(dialog);
        if (dialog != nullptr && IsWindow(dialog)) PostMessageW(dialog, WM_CLOSE, 0, 0);
    });
    const std::string answer = ShowRequestDialog(options, true, false);
    driver.join();
    return answer;
}

TEST(CrashRequestDialog, OkKeepsTheTrimmedAnswer) {
    auto options = RequestOptions();
    std::wstring label, button;
    const std::string answer = RunRequestDialog(*options, [&](HWND dialog) {
        ASSERT_NE(dialog, nullptr);
        label = drv::ControlText(dialog, IDC_REQUEST_LABEL);
        button = drv::ControlText(dialog, IDC_REQUEST_OK);
        drv::TypeText(dialog, IDC_REQUEST_EDIT, L"  \r\nOpened the port.\r\nPressed Import.\t \r\n");
        drv::Click(dialog, IDC_REQUEST_OK);
    });
    EXPECT_EQ(answer, "Opened the port.\r\nPressed Import.");
    EXPECT_EQ(label, L"Please describe the steps to reproduce the error:");
    EXPECT_EQ(button, L"&OK");
}

TEST(CrashRequestDialog, EscapeAndTheCloseBoxKeepWhatWasTyped) {
    auto options = RequestOptions();
    const std::string escaped = RunRequestDialog(*options, [](HWND dialog) {
        ASSERT_NE(dialog, nullptr);
        drv::TypeText(dialog, IDC_REQUEST_EDIT, L"Escape pressed");
        drv::PressKey(GetDlgItem(dialog, IDC_REQUEST_EDIT), VK_ESCAPE);
        EXPECT_TRUE(drv::WaitForClose(dialog, 5000));
    });
    EXPECT_EQ(escaped, "Escape pressed");
    const std::string closed = RunRequestDialog(*options, [](HWND dialog) {
        ASSERT_NE(dialog, nullptr);
        drv::TypeText(dialog, IDC_REQUEST_EDIT, L"Closed");
        PostMessageW(dialog, WM_CLOSE, 0, 0);
        EXPECT_TRUE(drv::WaitForClose(dialog, 5000));
    });
    EXPECT_EQ(closed, "Closed");
}

TEST(CrashRequestDialog, NotShownWhenTheStepsAreNotAskedFor) {
    auto options = RequestOptions();
    options->SetReportFlags(0);
    bool appeared = true;
    std::thread driver([&] { appeared = drv::WaitForDialog(L"Request", IDC_REQUEST_EDIT, 1000) != nullptr; });
    const std::string answer = ShowRequestDialog(*options, true, false);
    driver.join();
    EXPECT_EQ(answer, "");
    EXPECT_FALSE(appeared);
}

class CrashRequestLog : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ =
            std::filesystem::temp_directory_path() / ("crash_request_log_" + std::to_string(GetCurrentProcessId()));
        std::filesystem::create_directories(folder_);
        options_ = RequestOptions();
        options_->SetOutputPath((folder_ / "request.clog").string());
        report_ = BuildReportHere(*options_, "Division by zero.");
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    // The last log entry after the user answered with `typed`.
    std::string LoggedEntry(const std::wstring& typed) {
        const std::string answer = RunRequestDialog(*options_, [&](HWND dialog) {
            ASSERT_NE(dialog, nullptr);
            drv::TypeText(dialog, IDC_REQUEST_EDIT, typed);
            drv::Click(dialog, IDC_REQUEST_OK);
        });
        TDialogTestFailures failures;
        WriteCrashLog(report_->Parts, *options_, false, answer, {}, failures.Log);
        EXPECT_EQ(failures.Log.LastErrorCode(), eeNone);
        const TLogFile log(options_->OutputLogFile());
        return log.Entries().empty() ? std::string() : log.Entries().back();
    }

    std::filesystem::path folder_;
    std::unique_ptr<TCrashModuleOptions> options_;
    std::unique_ptr<TDialogTestReport> report_;
};

TEST_F(CrashRequestLog, AnswerEndsTheLogEntryAfterItsHeading) {
    const std::string original = report_->Parts.ReportText;
    const std::string entry = LoggedEntry(L"  Pressed Import twice.  ");
    const std::string tail = "\r\nRequest:\r\n" + std::string(40, '-') + "\r\nPressed Import twice.";
    const auto at = entry.rfind(tail);
    ASSERT_NE(at, std::string::npos);
    EXPECT_EQ(entry.find_first_not_of("\r\n", at + tail.size()), std::string::npos);
    EXPECT_EQ(report_->Parts.ReportText, original + tail);
    EXPECT_EQ(report_->Parts.MailText, report_->Parts.ReportText);
}

TEST_F(CrashRequestLog, BlankAnswerAddsNothing) {
    const std::string original = report_->Parts.ReportText;
    const std::string entry = LoggedEntry(L" \r\n\t ");
    EXPECT_EQ(entry.find("Request:"), std::string::npos);
    EXPECT_EQ(report_->Parts.ReportText, original);
    EXPECT_NE(entry.find("Division by zero."), std::string::npos);
}

}  // namespace
}  // namespace brenvik
