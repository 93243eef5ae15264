// The exception dialog on a real report of this process, worked by a driver
// thread the way a user would.
#include <windows.h>

#include <gtest/gtest.h>

#include <commctrl.h>

#include <algorithm>

#include "DialogDriver.h"
#include "crash/dialog/CrashDialogIds.h"
#include "crash/dialog/FlatCaption.h"
#include "crash/win32/Win32Clipboard.h"
#include "crash_dialog_report.h"
#include "crash_dialog_session.h"

namespace brenvik {
namespace {

using namespace dialogtest;
namespace drv = dialogdriver;

constexpr const char* kMessage = "Access violation at address 00000000. Read of address 00000000.";

class CrashExceptionDialog : public ::testing::Test {
protected:
    void SetUp() override { DeleteFileA(PositionFilePath().c_str()); }
    void TearDown() override { DeleteFileA(PositionFilePath().c_str()); }

    TExceptionDialogInput Input(const TCrashModuleOptions& options, const TDialogTestReport& report) {
        return TExceptionDialogInput(report.Parts, report.Stack, report.Modules.Modules(), options,
                                     report.ProgramFileName);
    }

    static int ScreenWidth() { return GetSystemMetrics(SM_CXSCREEN); }
    static int ScreenHeight() { return GetSystemMetrics(SM_CYSCREEN); }
};

TEST_F(CrashExceptionDialog, CompactViewWithoutSendingLooksLikeAMessageBox) {
    auto options = DialogTestOptions(TCrashModuleOptions::kSendNone, true);
    auto report = BuildReportHere(*options, kMessage);
    RECT bounds{};
    const auto choices = RunExceptionDialog(Input(*options, *report), [&] {
        HWND dialog = drv::WaitForDialog(L"Error.", IDC_CRASH_OK);
        ASSERT_NE(dialog, nullptr);
        bounds = drv::WindowBounds(dialog);
        EXPECT_EQ(drv::ControlText(dialog, IDC_CRASH_HEADER), Wide(kMessage));
        EXPECT_EQ(drv::ControlText(dialog, IDC_CRASH_DETAILS), L"&Details >>");
        EXPECT_EQ(drv::ControlText(dialog, IDC_CRASH_OK), L"&OK");
        EXPECT_EQ(drv::ControlText(dialog, IDC_CRASH_COPY), L"&Copy to Clipboard");
        EXPECT_FALSE(drv::ControlVisible(dialog, IDC_CRASH_SEND));
        EXPECT_FALSE(drv::ControlVisible(dialog, IDC_CRASH_SCREENSHOT));
        EXPECT_TRUE(drv::ControlVisible(dialog, IDC_CRASH_COPY));
        EXPECT_FALSE(drv::ControlChecked(dialog, IDC_CRASH_COPY));
        EXPECT_FALSE(drv::ControlVisible(dialog, IDC_CRASH_TABS));
        EXPECT_FALSE(drv::ControlVisible(dialog, IDC_CRASH_TERMINATE));  // 1 error, not more than 3
        EXPECT_FALSE(drv::ControlVisible(dialog, IDC_CRASH_LINE));
        drv::Click(dialog, IDC_CRASH_OK);
    });
    EXPECT_TRUE(choices.Shown);
    EXPECT_FALSE(choices.SendTicked);
    EXPECT_FALSE(choices.CopyTicked);
    EXPECT_FALSE(choices.TerminateRequested);
    const int width = bounds.right - bounds.left;
    EXPECT_GE(width, 250);
    EXPECT_LT(width, 640);
    // One line of message: the height has not grown; the bottom band is 20.
    const int expectedHeight = 2 * GetSystemMetrics(SM_CYFIXEDFRAME) + GetSystemMetrics(SM_CYSMCAPTION) + 86 + 20;
    EXPECT_EQ(bounds.bottom - bounds.top, expectedHeight);
    EXPECT_EQ(bounds.left, (ScreenWidth() - width) / 2);
}

TEST_F(CrashExceptionDialog, LongMessageMakesTheCompactViewTaller) {
    auto options = DialogTestOptions(TCrashModuleOptions::kSendNone, false);
    auto report = BuildReportHere(*options, "first line\r\nsecond line\r\nthird line\r\nfourth line\r\nfifth line");
    int height = 0;
    RunExceptionDialog(Input(*options, *report), [&] {
        HWND dialog = drv::WaitForDialog(L"Error.", IDC_CRASH_OK);
        ASSERT_NE(dialog, nullptr);
        const RECT bounds = drv::WindowBounds(dialog);
        height = bounds.bottom - bounds.top;
        drv::Click(dialog, IDC_CRASH_OK);
    });
    EXPECT_GT(height, 2 * GetSystemMetrics(SM_CYFIXEDFRAME) + GetSystemMetrics(SM_CYSMCAPTION) + 86 + 20);
}

TEST_F(CrashExceptionDialog, DetailsViewWithoutPositionFileOpensCentredAndIsSavedOnLeaving) {
    auto options = DialogTestOptions(TCrashModuleOptions::kSendSmtpServer, true);
    auto report = BuildReportHere(*options, kMessage);
    RECT details{};
    std::vector<std::vector<std::wstring>> stackRows, moduleRows;
    std::wstring general, cpu;
    std::string savedWidth, savedHeight, savedLeft, savedTop, savedState;
    RunExceptionDialog(Input(*options, *report), [&] {
        HWND dialog = drv::WaitForDialog(L"Error.", IDC_CRASH_OK);
        ASSERT_NE(dialog, nullptr);
        drv::Click(dialog, IDC_CRASH_DETAILS);
        details = drv::WindowBounds(dialog);
        EXPECT_EQ(drv::ControlText(dialog, IDC_CRASH_DETAILS), L"<< &Details");
        EXPECT_EQ(drv::ControlText(dialog, IDC_CRASH_HEADER), Wide(options->GetText(3)));
        EXPECT_TRUE(drv::ControlVisible(dialog, IDC_CRASH_TABS));
        EXPECT_NE(GetWindowLongPtrW(dialog, GWL_STYLE) & WS_THICKFRAME, 0);
        HWND tabs = GetDlgItem(dialog, IDC_CRASH_TABS);
        general = drv::ControlText(drv::CurrentPage(tabs), IDC_PAGE_CONTENT);
        drv::SelectTab(dialog, IDC_CRASH_TABS, 1);
        stackRows = drv::ListRows(GetDlgItem(drv::CurrentPage(tabs), IDC_PAGE_CONTENT), 6);
        drv::SelectTab(dialog, IDC_CRASH_TABS, 2);
        moduleRows = drv::ListRows(GetDlgItem(drv::CurrentPage(tabs), IDC_PAGE_CONTENT), 6);
        drv::SelectTab(dialog, IDC_CRASH_TABS, 3);
        cpu = drv::ControlText(drv::CurrentPage(tabs), IDC_PAGE_CONTENT);
        drv::Click(dialog, IDC_CRASH_DETAILS);  // back to the compact view: the geometry is saved
        savedWidth = ReadPosition("Width");
        savedHeight = ReadPosition("Height");
        savedLeft = ReadPosition("Left");
        savedTop = ReadPosition("Top");
        savedState = ReadPosition("WindowsState");
        EXPECT_EQ(GetWindowLongPtrW(dialog, GWL_STYLE) & WS_THICKFRAME, 0);
        drv::Click(dialog, IDC_CRASH_OK);
    });
    const int band = 34;
    EXPECT_EQ(details.right - details.left, 640);
    EXPECT_EQ(details.bottom - details.top, 385 + band);
    EXPECT_EQ(details.left, (ScreenWidth() - 640) / 2);
    EXPECT_EQ(details.top, (ScreenHeight() - (385 + band)) / 2);
    EXPECT_EQ(savedWidth, "640");
    EXPECT_EQ(savedHeight, "385");
    EXPECT_EQ(savedLeft, std::to_string((ScreenWidth() - 640) / 2));
    EXPECT_EQ(savedTop, std::to_string((ScreenHeight() - (385 + band)) / 2));
    EXPECT_EQ(savedState, "1");
    // The pages were written when they were destroyed.
    EXPECT_EQ(ReadPosition("Col5"), "48");
    EXPECT_EQ(ReadPosition("ColMod2"), "130");

    EXPECT_EQ(general, Wide(report->Parts.HeaderText));
    EXPECT_EQ(cpu, Wide(report->Parts.CpuText));
    // The frame that took the report shows with its file, procedure and line.
    const auto own = std::find_if(stackRows.begin(), stackRows.end(), [](const auto& row) {
        return row[2] == L"crash_dialog_report.cpp" && row[4].find(L"BuildReportHere") != std::wstring::npos;
    });
    ASSERT_NE(own, stackRows.end());
    EXPECT_GT(std::stoi((*own)[5]), 0);
    const auto test = std::find_if(stackRows.begin(), stackRows.end(),
                                   [](const auto& row) { return row[2] == L"crash_dialog_exception_test.cpp"; });
    EXPECT_NE(test, stackRows.end());
    EXPECT_EQ(moduleRows.size(), report->Modules.Modules().size());
    const auto kernel = std::find_if(moduleRows.begin(), moduleRows.end(),
                                     [](const auto& row) { return _wcsicmp(row[1].c_str(), L"kernel32.dll") == 0; });
    ASSERT_NE(kernel, moduleRows.end());
    EXPECT_NE((*kernel)[4].find(L" Kb"), std::wstring::npos);
}

TEST_F(CrashExceptionDialog, SavedPositionOffScreenIsPulledBack) {
    auto options = DialogTestOptions(TCrashModuleOptions::kSendNone, false);
    auto report = BuildReportHere(*options, kMessage);
    WritePosition("Width", 500);
    WritePosition("Height", 300);
    WritePosition("Left", ScreenWidth() + 200);
    WritePosition("Top", ScreenHeight() + 100);
    RECT below{}, above{};
    RunExceptionDialog(Input(*options, *report), [&] {
        HWND dialog = drv::WaitForDialog(L"Error.", IDC_CRASH_OK);
        ASSERT_NE(dialog, nullptr);
        drv::Click(dialog, IDC_CRASH_DETAILS);
        below = drv::WindowBounds(dialog);
        drv::Click(dialog, IDC_CRASH_DETAILS);
        WritePosition("Left", -400);
        WritePosition("Top", -300);
        drv::Click(dialog, IDC_CRASH_DETAILS);
        above = drv::WindowBounds(dialog);
        drv::Click(dialog, IDC_CRASH_OK);
    });
    EXPECT_EQ(below.left, ScreenWidth() - 500);
    EXPECT_EQ(below.top, ScreenHeight() - 300 - 20);
    EXPECT_EQ(below.right - below.left, 500);
    EXPECT_EQ(above.left, 0);
    EXPECT_EQ(above.top, 0);
    // Closed in the details view: saved once more.
    EXPECT_EQ(ReadPosition("Left"), "0");
    EXPECT_EQ(ReadPosition("Height"), "300");
}

TEST_F(CrashExceptionDialog, MaximisedDetailsViewIsRememberedWithItsNormalSize) {
    auto options = DialogTestOptions(TCrashModuleOptions::kSendNone, false);
    auto report = BuildReportHere(*options, kMessage);
    bool zoomedAgain = false;
    std::string state, width;
    RunExceptionDialog(Input(*options, *report), [&] {
        HWND dialog = drv::WaitForDialog(L"Error.", IDC_CRASH_OK);
        ASSERT_NE(dialog, nullptr);
        drv::Click(dialog, IDC_CRASH_DETAILS);
        SendMessageW(dialog, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
        drv::Click(dialog, IDC_CRASH_DETAILS);
        state = ReadPosition("WindowsState");
        width = ReadPosition("Width");
        EXPECT_FALSE(IsZoomed(dialog));  // the compact view is never maximised
        drv::Click(dialog, IDC_CRASH_DETAILS);
        zoomedAgain = IsZoomed(dialog) != FALSE;
        drv::Click(dialog, IDC_CRASH_OK);
    });
    EXPECT_EQ(state, "3");
    EXPECT_EQ(width, "640");
    EXPECT_TRUE(zoomedAgain);
}

TEST_F(CrashExceptionDialog, FlatLookPaintsItsOwnCaptionAndKeepsFlatButtons) {
    auto options = DialogTestOptions(TCrashModuleOptions::kSendNone, false);
    auto report = BuildReportHere(*options, kMessage);
    COLORREF band = CLR_INVALID;
    LONG_PTR detailsStyle = 0, buttonStyle = 0;
    RunExceptionDialog(Input(*options, *report), [&] {
        HWND dialog = drv::WaitForDialog(L"Error.", IDC_CRASH_OK);
        ASSERT_NE(dialog, nullptr);
        RedrawWindow(dialog, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
        HDC dc = GetWindowDC(dialog);
        // The caption's top band, just inside the frame.
        band = GetPixel(dc, GetSystemMetrics(SM_CXFIXEDFRAME) + 2, GetSystemMetrics(SM_CYFIXEDFRAME) + 1);
        ReleaseDC(dialog, dc);
        drv::Click(dialog, IDC_CRASH_DETAILS);
        detailsStyle = GetWindowLongPtrW(dialog, GWL_STYLE);
        buttonStyle = GetWindowLongPtrW(GetDlgItem(dialog, IDC_CRASH_OK), GWL_STYLE);
        drv::Click(dialog, IDC_CRASH_OK);
    });
    const COLORREF active = FlatCaptionGradient(true, GetSystemMetrics(SM_CYSMCAPTION)).front();
    const COLORREF inactive = FlatCaptionGradient(false, GetSystemMetrics(SM_CYSMCAPTION)).front();
    EXPECT_TRUE(band == active || band == inactive) << std::hex << band;
    EXPECT_NE(detailsStyle & WS_THICKFRAME, 0);
    EXPECT_NE(detailsStyle & WS_MAXIMIZEBOX, 0);
    EXPECT_EQ(detailsStyle & WS_SYSMENU, 0);
    EXPECT_NE(buttonStyle & BS_FLAT, 0);
}

TEST_F(CrashExceptionDialog, PlainLookHasTheSystemMenuAndRaisedButtons) {
    auto options = DialogTestOptions(TCrashModuleOptions::kSendSmtpServer, true);
    options->SetFlatDialogLook(false);
    auto report = BuildReportHere(*options, kMessage);
    LONG_PTR compactStyle = 0, detailsStyle = 0, buttonStyle = 0, boxStyle = 0;
    RunExceptionDialog(Input(*options, *report), [&] {
        HWND dialog = drv::WaitForDialog(L"Error.", IDC_CRASH_OK);
        ASSERT_NE(dialog, nullptr);
        compactStyle = GetWindowLongPtrW(dialog, GWL_STYLE);
        drv::Click(dialog, IDC_CRASH_DETAILS);
        detailsStyle = GetWindowLongPtrW(dialog, GWL_STYLE);
        buttonStyle = GetWindowLongPtrW(GetDlgItem(dialog, IDC_CRASH_DETAILS), GWL_STYLE);
        boxStyle = GetWindowLongPtrW(GetDlgItem(dialog, IDC_CRASH_SCREENSHOT), GWL_STYLE);
        drv::Click(dialog, IDC_CRASH_OK);
    });
    EXPECT_EQ(compactStyle & (WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX), 0);
    EXPECT_NE(detailsStyle & WS_SYSMENU, 0);
    EXPECT_NE(detailsStyle & WS_THICKFRAME, 0);
    EXPECT_EQ(buttonStyle & BS_FLAT, 0);
    EXPECT_EQ(boxStyle & BS_FLAT, 0);
}

TEST_F(CrashExceptionDialog, UntickingSendDisablesTheScreenshotBox) {
    auto options = DialogTestOptions(TCrashModuleOptions::kSendSmtpServer, true);
    auto report = BuildReportHere(*options, kMessage);
    RECT bounds{};
    const auto choices = RunExceptionDialog(Input(*options, *report), [&] {
        HWND dialog = drv::WaitForDialog(L"Error.", IDC_CRASH_OK);
        ASSERT_NE(dialog, nullptr);
        bounds = drv::WindowBounds(dialog);
        EXPECT_TRUE(drv::ControlVisible(dialog, IDC_CRASH_SEND));
        EXPECT_TRUE(drv::ControlVisible(dialog, IDC_CRASH_SCREENSHOT));
        EXPECT_TRUE(drv::ControlChecked(dialog, IDC_CRASH_SEND));
        EXPECT_TRUE(drv::ControlChecked(dialog, IDC_CRASH_SCREENSHOT));
        EXPECT_TRUE(drv::ControlEnabled(dialog, IDC_CRASH_SCREENSHOT));
        drv::Click(dialog, IDC_CRASH_SEND);
        EXPECT_FALSE(drv::ControlChecked(dialog, IDC_CRASH_SEND));
        EXPECT_FALSE(drv::ControlEnabled(dialog, IDC_CRASH_SCREENSHOT));
        drv::Click(dialog, IDC_CRASH_SEND);
        EXPECT_TRUE(drv::ControlEnabled(dialog, IDC_CRASH_SCREENSHOT));
        drv::Click(dialog, IDC_CRASH_SEND);
        drv::Click(dialog, IDC_CRASH_OK);
    });
    EXPECT_FALSE(choices.SendTicked);
    EXPECT_TRUE(choices.ScreenshotTicked);
    // Both boxes shown: the bottom band is 34.
    const int expectedHeight = 2 * GetSystemMetrics(SM_CYFIXEDFRAME) + GetSystemMetrics(SM_CYSMCAPTION) + 86 + 34;
    EXPECT_EQ(bounds.bottom - bounds.top, expectedHeight);
}

TEST_F(CrashExceptionDialog, SkippedDuplicateHasNoSendBox) {
    auto options = DialogTestOptions(TCrashModuleOptions::kSendSmtpServer, true);
    auto report = BuildReportHere(*options, kMessage);
    TExceptionDialogInput input = Input(*options, *report);
    input.Duplicate = true;
    bool sendVisible = true, screenshotVisible = true;
    RunExceptionDialog(input, [&] {
        HWND dialog = drv::WaitForDialog(L"Error.", IDC_CRASH_OK);
        ASSERT_NE(dialog, nullptr);
        sendVisible = drv::ControlVisible(dialog, IDC_CRASH_SEND);
        screenshotVisible = drv::ControlVisible(dialog, IDC_CRASH_SCREENSHOT);
        drv::Click(dialog, IDC_CRASH_OK);
    });
    EXPECT_FALSE(sendVisible);
    EXPECT_FALSE(screenshotVisible);
}

TEST_F(CrashExceptionDialog, MinimisedDetailsViewIsSavedAsShowCommandSix) {
    auto options = DialogTestOptions(TCrashModuleOptions::kSendNone, false);
    auto report = BuildReportHere(*options, kMessage);
    std::string savedState;
    RunExceptionDialog(Input(*options, *report), [&] {
        HWND dialog = drv::WaitForDialog(L"Error.", IDC_CRASH_OK);
        ASSERT_NE(dialog, nullptr);
        drv::Click(dialog, IDC_CRASH_DETAILS);
        ShowWindow(dialog, SW_MINIMIZE);
        drv::Click(dialog, IDC_CRASH_DETAILS);
        savedState = ReadPosition("WindowsState");
        drv::Click(dialog, IDC_CRASH_OK);
    });
    EXPECT_EQ(savedState, "6");
}

TEST_F(CrashExceptionDialog, CopyBoxPutsTheReportOnTheClipboard) {
    auto options = DialogTestOptions(TCrashModuleOptions::kSendNone, false);
    auto report = BuildReportHere(*options, kMessage);
    const auto choices = RunExceptionDialog(Input(*options, *report), [&] {
        HWND dialog = drv::WaitForDialog(L"Error.", IDC_CRASH_OK);
        ASSERT_NE(dialog, nullptr);
        drv::Click(dialog, IDC_CRASH_COPY);
        drv::Click(dialog, IDC_CRASH_OK);
    });
    ASSERT_TRUE(choices.CopyTicked);
    ASSERT_TRUE(CopyReportToClipboard(report->Parts.ReportText));
    std::string copied;
    std::thread reader([&] {
        ASSERT_TRUE(OpenClipboard(nullptr));
        if (HANDLE data = GetClipboardData(CF_TEXT)) {
            copied = static_cast<const char*>(GlobalLock(data));
            GlobalUnlock(data);
        }
        CloseClipboard();
    });
    reader.join();
    EXPECT_EQ(copied, report->Parts.ReportText);
    EXPECT_GT(copied.size(), 1000u);
}

TEST_F(CrashExceptionDialog, TerminateThatTheHandlerCancelsShowsTheDialogAgain) {
    auto options = DialogTestOptions(TCrashModuleOptions::kSendNone, false);
    options->SetTerminateAction(0);
    options->SetTerminateErrorCount(2);
    auto report = BuildReportHere(*options, kMessage);
    TExceptionDialogInput input = Input(*options, *report);
    input.ErrorCount = 3;
    std::vector<int> actions;
    input.BeforeTerminate = [&](int action, bool& terminate) {
        actions.push_back(action);
        if (actions.size() == 1) terminate = false;
    };
    std::wstring caption;
    bool shownAgain = false;
    const auto choices = RunExceptionDialog(input, [&] {
        HWND first = drv::WaitForDialog(L"Error.", IDC_CRASH_OK);
        ASSERT_NE(first, nullptr);
        caption = drv::ControlText(first, IDC_CRASH_TERMINATE);
        EXPECT_TRUE(drv::ControlVisible(first, IDC_CRASH_TERMINATE));
        drv::Click(first, IDC_CRASH_TERMINATE);
        ASSERT_TRUE(drv::WaitForClose(first));
        HWND second = drv::WaitForDialog(L"Error.", IDC_CRASH_OK);
        ASSERT_NE(second, nullptr);
        shownAgain = true;
        drv::Click(second, IDC_CRASH_TERMINATE);
    });
    EXPECT_EQ(caption, L"&Terminate");
    EXPECT_TRUE(shownAgain);
    EXPECT_EQ(actions, (std::vector<int>{kActionBeforeTerminate, kActionBeforeTerminate}));
    EXPECT_TRUE(choices.TerminateRequested);
}

TEST_F(CrashExceptionDialog, TerminateButtonNeedsMoreErrorsThanTheCount) {
    auto options = DialogTestOptions(TCrashModuleOptions::kSendNone, false);
    options->SetTerminateErrorCount(2);
    auto report = BuildReportHere(*options, kMessage);
    TExceptionDialogInput input = Input(*options, *report);
    input.ErrorCount = 2;
    bool visible = true;
    RunExceptionDialog(input, [&] {
        HWND dialog = drv::WaitForDialog(L"Error.", IDC_CRASH_OK);
        ASSERT_NE(dialog, nullptr);
        visible = drv::ControlVisible(dialog, IDC_CRASH_TERMINATE);
        drv::Click(dialog, IDC_CRASH_OK);
    });
    EXPECT_FALSE(visible);
}

TEST_F(CrashExceptionDialog, DialogThatCannotBeShownFallsBackToAMessageBoxAndRecordsTheError) {
    auto options = DialogTestOptions(TCrashModuleOptions::kSendSmtpServer, false);
    auto report = BuildReportHere(*options, kMessage);
    TDialogTestFailures failures;
    TExceptionDialogInput input = Input(*options, *report);
    input.Failures = &failures.Log;
    // A module without the dialog's template.
    input.ResourceModule = GetModuleHandleW(L"kernel32.dll");
    std::wstring boxText;
    const auto choices = RunExceptionDialog(input, [&] {
        HWND box = drv::WaitForDialog(L"Error.", IDOK);
        ASSERT_NE(box, nullptr);
        boxText = drv::ControlText(box, 0xFFFF);
        drv::Click(box, IDOK);
    });
    EXPECT_FALSE(choices.Shown);
    EXPECT_EQ(boxText, Wide(kMessage));
    EXPECT_EQ(failures.Log.LastErrorCode(), eeShowError);
    EXPECT_EQ(failures.Log.LastErrorMessage(), "Cannot show the DialogBox window.");
    // The remembered choices still decide delivery.
    EXPECT_TRUE(choices.SendTicked);
}

// The next record of the mailslot, waiting a little for one to arrive.
std::string NextMailslotRecord(HANDLE slot) {
    for (int attempt = 0; attempt < 250; ++attempt) {
        DWORD next = MAILSLOT_NO_MESSAGE;
        if (GetMailslotInfo(slot, nullptr, &next, nullptr, nullptr) && next != MAILSLOT_NO_MESSAGE) {
            std::string record(next, '\0');
            DWORD read = 0;
            if (!ReadFile(slot, record.data(), next, &read, nullptr)) return {};
            record.resize(read);
            return record;
        }
        Sleep(20);
    }
    return {};
}

TEST_F(CrashExceptionDialog, CallStackRowWithALineAsksForTheSourceOverTheMailslot) {
    auto options = DialogTestOptions(TCrashModuleOptions::kSendNone, false);
    options->SetDialogStartTab(1);
    auto report = BuildReportHere(*options, kMessage);
    HANDLE slot = CreateMailslotA("\\\\.\\mailslot\\Crashlog", 0, 0, nullptr);
    ASSERT_NE(slot, INVALID_HANDLE_VALUE);
    std::vector<std::vector<std::wstring>> rows;
    std::string record, recordByEnter;
    bool dialogOpenAfterEnter = false;
    DWORD messagesAfterLineless = 1;
    bool linelessFound = false;
    RunExceptionDialog(Input(*options, *report), [&] {
        HWND dialog = drv::WaitForDialog(L"Error.", IDC_CRASH_OK);
        ASSERT_NE(dialog, nullptr);
        drv::Click(dialog, IDC_CRASH_DETAILS);
        HWND list = GetDlgItem(drv::CurrentPage(GetDlgItem(dialog, IDC_CRASH_TABS)), IDC_PAGE_CONTENT);
        rows = drv::ListRows(list, 6);
        const auto withLine = std::find_if(rows.begin(), rows.end(), [](const auto& row) { return !row[5].empty(); });
        ASSERT_NE(withLine, rows.end());
        drv::ActivateRow(list, static_cast<int>(withLine - rows.begin()));
        record = NextMailslotRecord(slot);
        // Enter on the row asks the same, and leaves the dialog open.
        drv::PressEnterOnRow(list, static_cast<int>(withLine - rows.begin()));
        recordByEnter = NextMailslotRecord(slot);
        dialogOpenAfterEnter = IsWindowVisible(dialog) != FALSE;
        const auto lineless = std::find_if(rows.begin(), rows.end(), [](const auto& row) { return row[5].empty(); });
        if (lineless != rows.end()) {
            linelessFound = true;
            drv::ActivateRow(list, static_cast<int>(lineless - rows.begin()));
            DWORD next = 0;
            GetMailslotInfo(slot, nullptr, &next, &messagesAfterLineless, nullptr);
        }
        drv::Click(dialog, IDC_CRASH_OK);
    });
    CloseHandle(slot);
    ASSERT_EQ(record.size(), 2052u);
    EXPECT_EQ(recordByEnter, record);
    EXPECT_TRUE(dialogOpenAfterEnter);
    const auto withLine = std::find_if(rows.begin(), rows.end(), [](const auto& row) { return !row[5].empty(); });
    ASSERT_NE(withLine, rows.end());
    EXPECT_EQ(Wide(record.c_str()), (*withLine)[2]);
    const std::uint32_t line = static_cast<unsigned char>(record[2048]) |
                               static_cast<unsigned char>(record[2049]) << 8 |
                               static_cast<unsigned char>(record[2050]) << 16 |
                               static_cast<std::uint32_t>(static_cast<unsigned char>(record[2051])) << 24;
    EXPECT_EQ(std::to_wstring(line), (*withLine)[5]);
    ASSERT_TRUE(linelessFound) << "the stack has runtime frames without lines";
    EXPECT_EQ(messagesAfterLineless, 0u);
}

}  // namespace
}  // namespace brenvik
