// The exception dialog's measures and cells, without windows.
#include <gtest/gtest.h>

#include "crash/dialog/CrashDialogIds.h"
#include "crash/dialog/DialogGeometry.h"
#include "crash/dialog/DialogRows.h"
#include "crash/dialog/FlatCaption.h"
#include "crash/dialog/RequestDialog.h"
#include "crash/dialog/SourceJump.h"

namespace brenvik {
namespace {

TDialogMetrics Screen() {
    TDialogMetrics metrics;
    metrics.FrameWidth = 3;
    metrics.FrameHeight = 3;
    metrics.SmallCaptionHeight = 17;
    metrics.ScreenWidth = 1024;
    metrics.ScreenHeight = 768;
    return metrics;
}

TEST(CrashDialogGeometry, CompactWindowIsAtLeast250WideAndGrowsOnlyPast39PixelsOfText) {
    const TDialogMetrics metrics = Screen();
    const int base = 2 * 3 + 17 + 86;
    // Two short lines of 13 pixels: 26 pixels of text, no growth.
    TCompactView view = LayoutCompactView({40, 60}, 13, metrics, 20);
    EXPECT_EQ(view.Window.Width(), 250);
    EXPECT_EQ(view.HeaderWidth, 250 - (2 * 3 + 58));
    EXPECT_EQ(view.Window.Height(), base + 20);
    EXPECT_EQ(view.Window.Left, (1024 - 250) / 2);
    EXPECT_EQ(view.Window.Top, (768 - base) / 2);
    // Three lines are exactly 39 pixels: still no growth; a fourth adds 13.
    EXPECT_EQ(LayoutCompactView({10, 10, 10}, 13, metrics, 20).Window.Height(), base + 20);
    EXPECT_EQ(LayoutCompactView({10, 10, 10, 10}, 13, metrics, 34).Window.Height(), base + 13 + 34);
    // A wide line widens the window: widest line + 16 + margin.
    EXPECT_EQ(LayoutCompactView({400}, 13, metrics, 20).Window.Width(), 400 + 16 + 64);
}

TEST(CrashDialogGeometry, LinesWiderThanTheLimitWrapAndCapTheWidth) {
    const TDialogMetrics metrics = Screen();
    const int limit = 640 - 64;
    // One line of twice the limit takes (limit + 16) div limit + 1 = 2 more lines.
    const TCompactView view = LayoutCompactView({2 * limit, 20}, 10, metrics, 20);
    EXPECT_EQ(view.Window.Width(), 640);
    EXPECT_EQ(view.HeaderWidth, limit);
    EXPECT_EQ(view.HeaderHeight, (2 + 2) * 10);
}

TEST(CrashDialogGeometry, SavedPositionsArePulledBackOntoTheScreen) {
    const TDialogMetrics metrics = Screen();
    TDetailsGeometry below{900, 700, 640, 385, 1};
    TDetailsGeometry placed = ClampToScreen(below, metrics, 34);
    EXPECT_EQ(placed.Left, 1024 - 640);
    EXPECT_EQ(placed.Top, 768 - 385 - 34);
    TDetailsGeometry above{-50, -70, 640, 385, 1};
    placed = ClampToScreen(above, metrics, 20);
    EXPECT_EQ(placed.Left, 0);
    EXPECT_EQ(placed.Top, 0);
    // Larger than the screen: the corner stays visible.
    TDetailsGeometry huge{10, 10, 2000, 1500, 3};
    placed = ClampToScreen(huge, metrics, 20);
    EXPECT_EQ(placed.Left, 0);
    EXPECT_EQ(placed.Top, 0);
    EXPECT_EQ(placed.WindowState, 3);
    TDetailsGeometry inside{100, 100, 640, 385, 1};
    placed = ClampToScreen(inside, metrics, 20);
    EXPECT_EQ(placed.Left, 100);
    EXPECT_EQ(placed.Top, 100);
}

TEST(CrashDialogGeometry, ControlsFollowTheClientArea) {
    EXPECT_EQ(DialogBottomBand(true, true), 34);
    EXPECT_EQ(DialogBottomBand(true, false), 20);
    EXPECT_EQ(DialogBottomBand(false, true), 20);
    const auto places = LayoutControls(600, 400, 34, true);
    const auto at = [&](int id) {
        for (const TControlPlace& place : places)
            if (place.Id == id) return place.Bounds;
        ADD_FAILURE() << "no place for control " << id;
        return TDialogRect{};
    };
    const int y = 400 - 34 - 32;
    EXPECT_EQ(at(IDC_CRASH_TABS).Left, 4);
    EXPECT_EQ(at(IDC_CRASH_TABS).Height(), 400 - 90 - 34);
    EXPECT_EQ(at(IDC_CRASH_TABS).Width(), 592);
    EXPECT_EQ(at(IDC_CRASH_OK).Left, (600 - 75) / 2);
    EXPECT_EQ(at(IDC_CRASH_OK).Top, y);
    EXPECT_EQ(at(IDC_CRASH_DETAILS).Left, 520);
    EXPECT_EQ(at(IDC_CRASH_SEND).Top, y + 34);
    EXPECT_EQ(at(IDC_CRASH_COPY).Left, 600 - 296 - 4);
    EXPECT_EQ(at(IDC_CRASH_SCREENSHOT).Top, y + 50);
    EXPECT_EQ(at(IDC_CRASH_HEADER).Width(), 544);
    for (const TControlPlace& place : LayoutControls(600, 400, 20, false)) EXPECT_NE(place.Id, IDC_CRASH_HEADER);
}

TEST(CrashDialogCells, VersionAndSizeCells) {
    EXPECT_EQ(ModuleVersionCell("6.1.7601.17514"), "6.1.x");
    EXPECT_EQ(ModuleVersionCell("10.0.1"), "10.0.x");
    EXPECT_EQ(ModuleVersionCell("1.2"), "1.2");
    EXPECT_EQ(ModuleVersionCell(""), "");
    EXPECT_EQ(ModuleSizeCell(0), "0 Kb");
    EXPECT_EQ(ModuleSizeCell(1535), "1 Kb");
    EXPECT_EQ(ModuleSizeCell(1537), "2 Kb");
    EXPECT_EQ(ModuleSizeCell(1536), "2 Kb");  // halves to even
    EXPECT_EQ(ModuleSizeCell(2560), "2 Kb");
    EXPECT_EQ(ModuleSizeCell(4096u * 1024u), "4096 Kb");
}

TEST(CrashDialogCells, CallStackRowsLeaveOutModuleEntriesAndTheProgramsExportNames) {
    TCrashModuleInfo program, library, package;
    program.FileName = "C:\\App\\Brenvik.exe";
    program.Kind = mkProgram;
    library.FileName = "C:\\windows\\system32\\KERNEL32.dll";
    library.Kind = mkLibrary;
    package.FileName = "C:\\App\\rtl.bpl";
    package.Kind = mkPackage;
    TCrashStackList stack = {
        {dkSourceLine, &program, 0x401234, "Main.cpp", "TFormMain", "Import", 42},
        {dkOutside, nullptr, 0x10, "", "", "", 0},
        {dkModule, &library, 0x7c801000, "", "", "", 0},
        {dkQualified, &program, 0x401400, "Units.pas", "", "Helper", 0},
        {dkQualified, &package, 0x501000, "System.pas", "TObject", "Free", 0},
        {dkProcedure, &library, 0x7c802000, "", "", "BaseThreadInitThunk", 0},
    };
    const auto rows = CallStackRows(stack, "c:\\app\\BRENVIK.EXE");
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].Cells[1], "Brenvik.exe");
    EXPECT_EQ(rows[0].Cells[2], "Main.cpp");
    EXPECT_EQ(rows[0].Cells[4], "Import");
    EXPECT_EQ(rows[0].Cells[5], "42");
    EXPECT_EQ(rows[0].Image, liSource);
    EXPECT_EQ(rows[0].Cells[0].size(), sizeof(void*) * 2);
    EXPECT_EQ(rows[0].Cells[0].substr(rows[0].Cells[0].size() - 6), "401234");
    EXPECT_EQ(rows[1].Cells[3], "TObject");
    EXPECT_EQ(rows[1].Image, liPackage);
    EXPECT_EQ(rows[1].Cells[5], "");
    EXPECT_EQ(rows[2].Cells[1], "KERNEL32.dll");
    EXPECT_EQ(rows[2].Image, liLibrary);
}

TEST(CrashDialogCells, ModuleRowsTakeTheirImageFromTheExtension) {
    TCrashModulesList modules;
    for (const char* name : {"C:\\a\\prog.EXE", "C:\\a\\pack.bpl", "C:\\a\\design.dpl", "C:\\a\\lib.dll", "noext"}) {
        auto module = std::make_unique<TCrashModuleInfo>();
        module->FileName = name;
        module->Handle = 0x400000;
        module->Version = "1.2.3.4";
        module->Size = 10240;
        module->Description = "desc";
        modules.push_back(std::move(module));
    }
    const auto rows = ModuleRows(modules);
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[0].Image, liProgram);
    EXPECT_EQ(rows[1].Image, liPackage);
    EXPECT_EQ(rows[2].Image, liPackage);
    EXPECT_EQ(rows[3].Image, liLibrary);
    EXPECT_EQ(rows[4].Image, liLibrary);
    EXPECT_EQ(rows[0].Cells[1], "prog.EXE");
    EXPECT_EQ(rows[0].Cells[3], "1.2.x");
    EXPECT_EQ(rows[0].Cells[4], "10 Kb");
    EXPECT_EQ(rows[0].Cells[5], "C:\\a\\prog.EXE");
    EXPECT_EQ(rows[0].Cells[0].substr(rows[0].Cells[0].size() - 8), "00400000");
}

TEST(CrashDialogSourceJump, RecordHoldsTheUnitThenTheLineLittleEndian) {
    const std::string record = SourceJumpRecord("Main.cpp", 0x01020304);
    ASSERT_EQ(record.size(), 2052u);
    EXPECT_EQ(record.substr(0, 9), std::string("Main.cpp\0", 9));
    EXPECT_EQ(record.find_first_not_of('\0', 9), 2048u);
    EXPECT_EQ(record.substr(2048), std::string("\x04\x03\x02\x01", 4));
    // An overlong name still leaves its terminating zero inside the field.
    const std::string longRecord = SourceJumpRecord(std::string(3000, 'u'), 7);
    ASSERT_EQ(longRecord.size(), 2052u);
    EXPECT_EQ(longRecord[2046], 'u');
    EXPECT_EQ(longRecord[2047], '\0');
    EXPECT_EQ(longRecord[2048], '\x07');
}

TEST(CrashDialogRequest, AnswerTrimsBlanksAndControlCharacters) {
    EXPECT_EQ(TrimRequestText(" \t\r\n"), "");
    EXPECT_EQ(TrimRequestText(""), "");
    EXPECT_EQ(TrimRequestText("\r\n  Opened the port.\r\nPressed Import. \x01"), "Opened the port.\r\nPressed Import.");
    EXPECT_EQ(TrimRequestText("x"), "x");
    // Windows-1250 letters are above the blanks and stay.
    EXPECT_EQ(TrimRequestText("\xB9\x9C "), "\xB9\x9C");
}

TEST(CrashDialogRequest, ShownOnlyWhenAskedForAndTheReportGoesSomewhere) {
    TCrashModuleOptions options("x.exe", false);
    options.SetReportFlags(TCrashModuleOptions::kAskReproduceSteps);
    options.SetSendMode(TCrashModuleOptions::kSendNone);
    options.SetSaveLogFile(true);
    EXPECT_TRUE(RequestDialogWanted(options, true, false));
    EXPECT_FALSE(RequestDialogWanted(options, false, false));
    EXPECT_FALSE(RequestDialogWanted(options, true, true));
    options.SetSaveLogFile(false);
    EXPECT_FALSE(RequestDialogWanted(options, true, false));
    options.SetSendMode(TCrashModuleOptions::kSendSmtpServer);
    EXPECT_TRUE(RequestDialogWanted(options, true, false));
    options.SetReportFlags(TCrashModuleOptions::kSkipDuplicates);
    EXPECT_FALSE(RequestDialogWanted(options, true, false));
}

TEST(CrashDialogCaption, GradientDarkensByFourPercentPerBand) {
    const auto active = FlatCaptionGradient(true, 17);
    ASSERT_EQ(active.size(), 3u);
    EXPECT_EQ(active[0], RGB(125, 150, 186));  // 130, 156, 194 times 0.96, rounded
    EXPECT_EQ(active[1], RGB(120, 144, 179));
    EXPECT_EQ(active[2], RGB(115, 138, 172));
    const auto inactive = FlatCaptionGradient(false, 20);
    ASSERT_EQ(inactive.size(), 4u);
    EXPECT_EQ(inactive[0], RGB(145, 145, 145));
    EXPECT_TRUE(FlatCaptionGradient(true, 4).empty());
}

}  // namespace
}  // namespace brenvik
