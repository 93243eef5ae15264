#include <gtest/gtest.h>

#include "crash/report/ReportHeader.h"
#include "crash/report/TLogItem.h"
#include "crash_report_fakes.h"

namespace brenvik {
namespace {

using testing::FakeSystemInfo;

TCrashExceptionInfo SampleException() {
    TCrashExceptionInfo e;
    e.Address = 0x0040ABCD;
    e.ModuleFileName = "C:\\Program Files\\Brenvik\\Brenvik.exe";
    e.ClassName = "EConvertError";
    e.Message = "Bad value";
    e.FocusClassName = "TEdit";
    e.FocusText = "12\r\n3";
    e.Time = {2026, 12, 9, 3, 10, 5, 1};
    return e;
}

TCrashReportHost I686Host() {
    TCrashReportHost host;
    host.StartTime = {2026, 12, 8, 2, 3, 18, 8};
    host.AddressDigits = 8;
    return host;
}

TEST(CrashReportLogItem, AlignsEachSectionAndDropsSectionsWithoutItems) {
    TLogItem block;
    block.AddSection("Application");
    block.AddItem("Start Date", "X", true);
    block.AddItem("Name", "Y", true);
    block.AddItem("Skipped", "z", false);
    block.AddItem("Version Number", "1.2", true);
    block.AddSection("Empty");
    block.AddItem("A", "b", false);
    block.AddSection("Exception");
    block.AddItem("Date", "D: E", true);
    block.AddSection("Trailing");
    block.AddItem("A", "b", false);

    EXPECT_EQ(block.GetText(),
              "Application:\r\n"
              "-------------------------\r\n"
              "  1.1 Start Date    : X\r\n"
              "  1.2 Name          : Y\r\n"
              "  1.4 Version Number: 1.2\r\n"
              "\r\n"
              "Exception:\r\n"
              "----------------\r\n"
              "  3.1 Date: D: E\r\n");

    block.Clear();
    EXPECT_EQ(block.GetText(), "");
    block.AddSection("Only");
    block.AddItem("A", "", true);
    EXPECT_EQ(block.GetText(), "Only:\r\n---------\r\n  1.1 A: \r\n");
}

TEST(CrashReportHeader, FullHeaderWithEveryItem) {
    FakeSystemInfo system;
    TCrashModuleOptions options("C:\\App\\Brenvik.exe", false);
    EXPECT_EQ(BuildReportHeader(SampleException(), options, system, I686Host()),
              "Crashlog 4.5.4\r\n"
              "\r\n"
              "Application:\r\n"
              "------------------------------------------------------\r\n"
              "  1.1 Start Date      : Tue, 8 Dec 2026 03:18:08 +0100\r\n"
              "  1.2 Name/Description: Brenvik\r\n"
              "  1.3 Version Number  : 1.0.0.3\r\n"
              "  1.4 Parameters      : \"/tray\" \"a b\"\r\n"
              "\r\n"
              "Exception:\r\n"
              "---------------------------------------------\r\n"
              "  2.1 Date   : Wed, 9 Dec 2026 10:05:01 +0100\r\n"
              "  2.2 Address: 0040ABCD\r\n"
              "  2.3 Module : Brenvik.exe\r\n"
              "  2.4 Type   : EConvertError\r\n"
              "  2.5 Message: Bad value.\r\n"
              "\r\n"
              "Active Controls:\r\n"
              "-------------------------------\r\n"
              "  3.1 Form Class   : TFormMain\r\n"
              "  3.2 Form Text    : Brenvik v1\r\n"
              "  3.3 Control Class: TEdit\r\n"
              "  3.4 Control Text : 12  3\r\n"
              "\r\n"
              "Computer:\r\n"
              "---------------------------\r\n"
              "  4.1 Name        : KASA-1\r\n"
              "  4.2 User        : anna\r\n"
              "  4.3 Total Memory: 4096 Mb\r\n"
              "  4.4 Free Memory : 2 Mb\r\n"
              "  4.5 Total Disk  : 100 Gb\r\n"
              "  4.6 Free Disk   : 1.5 Gb\r\n"
              "\r\n"
              "Operating System:\r\n"
              "------------------------------------\r\n"
              "  5.1 Type    : Microsoft Windows 11\r\n"
              "  5.2 Build # : 22631\r\n"
              "  5.3 Update  : \r\n"
              "  5.4 Language: Polski\r\n");
}

TEST(CrashReportHeader, LeftOutItemsKeepTheirNumbersAndEmptySectionsVanish) {
    FakeSystemInfo system;
    system.disk.reset();
    TCrashModuleOptions options("C:\\App\\Brenvik.exe", false);
    // Section 1 only the version, section 2 without the date, no
    // operating-system items at all.
    options.SetLogItems(0xFFFFFFFFu & ~(1u << 0 | 1u << 1 | 1u << 3 | 1u << 4 | 0xFu << 19));
    const std::string header = BuildReportHeader(SampleException(), options, system, I686Host());
    EXPECT_NE(header.find("Application:\r\n-----------------------------\r\n  1.3 Version Number: 1.0.0.3\r\n\r\n"),
              std::string::npos)
        << header;
    EXPECT_NE(header.find("\r\n  2.2 Address: 0040ABCD\r\n"), std::string::npos);
    EXPECT_EQ(header.find("2.1"), std::string::npos);
    EXPECT_EQ(header.find("Operating System"), std::string::npos);
    // Disk items stay, empty, when the drive cannot be asked; the header
    // then ends with them and no empty section after.
    const std::string tail = "  4.5 Total Disk  : \r\n  4.6 Free Disk   : \r\n";
    ASSERT_GE(header.size(), tail.size());
    EXPECT_EQ(header.substr(header.size() - tail.size()), tail);
}

TEST(CrashReportHeader, ActiveControlsOnlyInAnInteractiveProgram) {
    FakeSystemInfo system;
    TCrashModuleOptions options("C:\\App\\Brenvik.exe", false);
    TCrashReportHost console = I686Host();
    console.InteractiveGui = false;
    const std::string header = BuildReportHeader(SampleException(), options, system, console);
    EXPECT_EQ(header.find("Active Controls"), std::string::npos);
    EXPECT_NE(header.find("  2.5 Message: Bad value.\r\n\r\nComputer:\r\n"), std::string::npos) << header;

    options.SetLogItems(0xFFFFFFFFu & ~(0xFu << 9));
    EXPECT_EQ(BuildReportHeader(SampleException(), options, system, I686Host()), header);
}

TEST(CrashReportHeader, MessageTypeAndAddressRules) {
    TCrashExceptionInfo e = SampleException();
    e.Message = "Access violation";
    EXPECT_EQ(ExceptionItems(e, 8).Message, "Access violation.");
    e.Message = "Stopped.";
    EXPECT_EQ(ExceptionItems(e, 8).Message, "Stopped.");
    e.Message = "Line one\r\nline two";
    EXPECT_EQ(ExceptionItems(e, 8).Message, "Line one  line two.");
    EXPECT_EQ(ErrorMessageText(e.Message), "Line one\r\nline two.");
    e.Message.reset();
    e.ClassName.clear();
    e.Address = 0;
    const TCrashExceptionItems unknown = ExceptionItems(e, 8);
    EXPECT_EQ(unknown.Message, "Unknown error message.");
    EXPECT_EQ(unknown.Type, "Unknown exception type.");
    EXPECT_EQ(unknown.Address, "");
    e.Address = 0xABC;
    EXPECT_EQ(ExceptionItems(e, 8).Address, "00000ABC");
    EXPECT_EQ(ExceptionItems(e, 16).Address, "0000000000000ABC");
}

TEST(CrashReportHeader, DatesCarryTheWholeHourOffset) {
    EXPECT_EQ(TimeZoneOffsetText(-60), "+0100");
    EXPECT_EQ(TimeZoneOffsetText(300), "-0500");
    EXPECT_EQ(TimeZoneOffsetText(0), "+0000");
    EXPECT_EQ(TimeZoneOffsetText(-780), "+1300");
    EXPECT_EQ(TimeZoneOffsetText(-330), "+0500");  // India: the half hour is not shown
    EXPECT_EQ(CrashDateText({2026, 1, 31, 6, 0, 7, 9}, 600), "Sat, 31 Jan 2026 00:07:09 -1000");
}

TEST(CrashReportHeader, MemoryRoundsHalvesToEvenAndDiskKeepsTwoDecimals) {
    constexpr std::uint64_t kMb = 1048576, kGb = 1073741824;
    EXPECT_EQ(MegabytesText(kMb + kMb / 2), "2 Mb");
    EXPECT_EQ(MegabytesText(2 * kMb + kMb / 2), "2 Mb");
    EXPECT_EQ(MegabytesText(2 * kMb + kMb / 2 + 1), "3 Mb");
    EXPECT_EQ(MegabytesText(kMb / 2), "0 Mb");
    EXPECT_EQ(MegabytesText(3 * kMb - 1), "3 Mb");
    EXPECT_EQ(GigabytesText(2 * kGb), "2 Gb");
    EXPECT_EQ(GigabytesText(kGb + kGb / 2), "1.5 Gb");
    EXPECT_EQ(GigabytesText(kGb / 8), "0.13 Gb");
    EXPECT_EQ(GigabytesText(kGb - 1), "1 Gb");
    EXPECT_EQ(GigabytesText(kGb / 1000), "0 Gb");
    EXPECT_EQ(GigabytesText(5 * kGb + kGb / 20), "5.05 Gb");
}

TEST(CrashReportHeader, OperatingSystemNames) {
    using P = TCrashOsPlatform;
    struct Case {
        TCrashOsVersion version;
        const char* name;
    };
    const Case cases[] = {
        {{P::Windows9x, 4, 0, 950, ""}, "Microsoft Windows 95"},
        {{P::Windows9x, 4, 0, 1111, " B "}, "Microsoft Windows 95 OSR 2"},
        {{P::Windows9x, 4, 10, 1998, ""}, "Microsoft Windows 98"},
        {{P::Windows9x, 4, 10, 2222, " A "}, "Microsoft Windows 98 SE"},
        {{P::Windows9x, 4, 90, 3000, ""}, "Microsoft Windows ME"},
        {{P::WindowsNT, 4, 0, 1381, "Service Pack 6"}, "Microsoft Windows NT 4.0"},
        {{P::WindowsNT, 5, 0, 2195, ""}, "Microsoft Windows 2000"},
        {{P::WindowsNT, 5, 1, 2600, ""}, "Microsoft Windows XP"},
        {{P::WindowsNT, 5, 2, 3790, ""}, "Microsoft Windows 2003"},
        {{P::WindowsNT, 6, 0, 6002, ""}, "Microsoft Windows Vista"},
        {{P::WindowsNT, 6, 1, 7601, ""}, "Microsoft Windows 7"},
        {{P::WindowsNT, 6, 2, 9200, ""}, "Microsoft Windows 8"},
        {{P::WindowsNT, 6, 3, 9600, ""}, "Microsoft Windows 8.1"},
        {{P::WindowsNT, 10, 0, 21999, ""}, "Microsoft Windows 10"},
        {{P::WindowsNT, 10, 0, 22000, ""}, "Microsoft Windows 11"},
        {{P::WindowsNT, 6, 4, 9800, ""}, ""},
        {{P::Other, 3, 10, 0, ""}, ""},
    };
    for (const Case& c : cases) EXPECT_EQ(OperatingSystemName(c.version), c.name) << c.version.Build;

    // Outside the NT family the build number keeps its low 16 bits only;
    // the service text is trimmed.
    FakeSystemInfo system;
    system.os = {P::Windows9x, 4, 10, 0x040A08AE, " A "};
    TCrashModuleOptions options("C:\\App\\Brenvik.exe", false);
    const std::string header = BuildReportHeader(SampleException(), options, system, I686Host());
    EXPECT_NE(header.find("  5.1 Type    : Microsoft Windows 98 SE\r\n  5.2 Build # : 2222\r\n  5.3 Update  : A\r\n"),
              std::string::npos)
        << header;
}

}  // namespace
}  // namespace brenvik
