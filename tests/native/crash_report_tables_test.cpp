#include <gtest/gtest.h>

#include "crash/report/CrashReport.h"
#include "crash_report_fakes.h"

namespace brenvik {
namespace {

using testing::FakeMemory;
using testing::FakeSystemInfo;

std::unique_ptr<TCrashModuleInfo> Module(CrashAddress handle, std::string file, std::string description,
                                         std::string version, std::uint32_t size) {
    auto module = std::make_unique<TCrashModuleInfo>();
    module->Handle = handle;
    module->FileName = std::move(file);
    module->Description = std::move(description);
    module->Version = std::move(version);
    module->Size = size;
    return module;
}

struct Sample {
    TCrashModulesList modules;
    TCrashStackList stack;

    Sample() {
        modules.push_back(Module(0x00400000, "C:\\App\\Brenvik.exe", "Brenvik", "1.0.0.3", 123456));
        modules.push_back(Module(0x7C800000, "D:\\kernel32.dll", "", "", 989696));
        stack.push_back({dkSourceLine, modules[0].get(), 0x00401A2B, "ImportSession.cpp", "brenvik::ImportSession",
                         "Run", 120});
        stack.push_back({dkModule, modules[0].get(), 0x00401FFF, "", "", "", 0});
        stack.push_back({dkOutside, nullptr, 0x00000010, "", "", "", 0});
        stack.push_back({dkProcedure, nullptr, 0x7C801234, "", "", "RaiseException", 0});
        stack.push_back({dkQualified, modules[1].get(), 0x7C802000, "Unit.pas", "", "Proc", 0});
    }
};

constexpr const char* kExpectedStack =
    "Call Stack Information:\r\n"
    "--------------------------------------------------------------------------------------\r\n"
    "|Address |Module      |Unit             |Class                 |Procedure/Method|Line|\r\n"
    "--------------------------------------------------------------------------------------\r\n"
    "|00401A2B|Brenvik.exe |ImportSession.cpp|brenvik::ImportSession|Run             |120 |\r\n"
    "|7C801234|            |                 |                      |RaiseException  |    |\r\n"
    "|7C802000|kernel32.dll|Unit.pas         |                      |Proc            |    |\r\n"
    "--------------------------------------------------------------------------------------";

constexpr const char* kExpectedModules =
    "Modules Information:\r\n"
    "---------------------------------------------------------\r\n"
    "|Handle  |Name        |Description|Version|Size  |Path  |\r\n"
    "---------------------------------------------------------\r\n"
    "|00400000|Brenvik.exe |Brenvik    |1.0.0.3|123456|C:\\App|\r\n"
    "|7C800000|kernel32.dll|           |       |989696|D:\\   |\r\n"
    "---------------------------------------------------------";

TEST(CrashReportTables, CallStackAndModulesAsFixedWidthTables) {
    const Sample sample;
    const TCrashModuleOptions options("C:\\App\\Brenvik.exe", false);
    EXPECT_EQ(CallStackText(sample.stack, options, 8), kExpectedStack);
    EXPECT_EQ(ModulesText(sample.modules, options, 8), kExpectedModules);
    EXPECT_EQ(CallStackAndModulesText(sample.stack, sample.modules, options, 8),
              std::string(kExpectedStack) + "\r\n\r\n" + kExpectedModules);
}

TEST(CrashReportTables, EmptyListsAndLongTitlesWidenColumns) {
    TCrashModuleOptions options("C:\\App\\Brenvik.exe", false);
    options.SetText(47, "Adr");
    options.SetText(52, "Line number");
    EXPECT_EQ(CallStackText({}, options, 8),
              "Call Stack Information:\r\n"
              "---------------------------------------------------------\r\n"
              "|Adr     |Module|Unit|Class|Procedure/Method|Line number|\r\n"
              "---------------------------------------------------------\r\n"
              "---------------------------------------------------------");
    // The x86-64 build widens the address columns to 16 digits.
    const Sample sample;
    const std::string wide = ModulesText(sample.modules, options, 16);
    EXPECT_NE(wide.find("\r\n|0000000000400000|Brenvik.exe |"), std::string::npos) << wide;
    EXPECT_NE(wide.find("\r\n|Handle          |Name"), std::string::npos) << wide;
}

// 64 stack bytes holding A0000000 + i and 256 code bytes counting from 0.
FakeMemory DumpMemory(CrashAddress esp, CrashAddress eip, int wordSize) {
    FakeMemory memory;
    std::vector<std::uint8_t> stack;
    for (int i = 0; i < 16; ++i) {
        const std::uint64_t word = 0xA0000000u + static_cast<std::uint32_t>(i);
        for (int b = 0; b < wordSize; ++b) stack.push_back(static_cast<std::uint8_t>(word >> (8 * b)));
    }
    memory.regions[esp] = stack;
    std::vector<std::uint8_t> code(256);
    for (int i = 0; i < 256; ++i) code[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
    memory.regions[eip] = code;
    return memory;
}

TEST(CrashReportCpu, RegistersAndSixteenDumpLines) {
    const TCrashModuleOptions options("C:\\App\\Brenvik.exe", false);
    const TCrashRegisters registers{0x1, 0x2, 0x3, 0x4, 0x5, 0x0012FF00, 0x7, 0x00401000};
    const FakeMemory memory = DumpMemory(0x0012FF00, 0x00401000, 4);
    const std::string text = CpuText(registers, memory, options, 8);
    const std::string head =
        "Registers:\r\n"
        "-----------------------------\r\n"
        "EAX: 00000001   EDI: 00000002\r\n"
        "EBX: 00000003   ESI: 00000004\r\n"
        "ECX: 00000005   ESP: 0012FF00\r\n"
        "EDX: 00000007   EIP: 00401000\r\n"
        "\r\n"
        "Stack:               Memory Dump:\r\n"
        "------------------   ---------------------------------------------------------------------------\r\n";
    ASSERT_EQ(text.substr(0, head.size()), head);
    const std::string dump = text.substr(head.size());
    EXPECT_EQ(dump.substr(0, 98),
              "0012FF00: A0000000   00401000:  00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F ................\r\n");
    EXPECT_NE(dump.find("\r\n0012FF10: A0000004   00401040:  40 41 42 43 44 45 46 47 48 49 4A 4B 4C 4D 4E 4F "
                        "@ABCDEFGHIJKLMNO\r\n"),
              std::string::npos);
    EXPECT_NE(dump.find("\r\n0012FF1C: A0000007   00401070:  70 71 72 73 74 75 76 77 78 79 7A 7B 7C 7D 7E 7F "
                        "pqrstuvwxyz{|}~.\r\n"),
              std::string::npos);
    EXPECT_EQ(dump.size(), 16u * 98u);

    // Stack words are pointer-sized in the x86-64 build.
    const FakeMemory wide = DumpMemory(0x0012FF00, 0x00401000, 8);
    EXPECT_EQ(MemoryDumpText(registers, wide, 16).substr(122, 37),
              "000000000012FF08: 00000000A0000001   ");
}

TEST(CrashReportCpu, NoContextOrUnreadableMemoryLeavesTheDumpEmpty) {
    const TCrashModuleOptions options("C:\\App\\Brenvik.exe", false);
    const FakeMemory none;
    const std::string unknown = CpuText(std::nullopt, none, options, 8);
    EXPECT_NE(unknown.find("EAX: ????   EDI: ????\r\n"), std::string::npos);
    EXPECT_EQ(unknown.substr(unknown.size() - 23), "---------------------\r\n");

    const TCrashRegisters registers{0, 0, 0, 0, 0, 0x0012FF00, 0, 0x00401000};
    EXPECT_EQ(MemoryDumpText(registers, none, 8), "");
    // Code readable but only 60 of the 64 stack bytes: still nothing.
    FakeMemory partial = DumpMemory(0x0012FF00, 0x00401000, 4);
    partial.regions[0x0012FF00].resize(60);
    EXPECT_EQ(MemoryDumpText(registers, partial, 8), "");
    EXPECT_EQ(CpuText(registers, partial, options, 8).find("0012FF00: "), std::string::npos);
}

TEST(CrashReportAssembly, PartsJoinWithTheirSeparators) {
    const Sample sample;
    FakeSystemInfo system;
    const TCrashModuleOptions options("C:\\App\\Brenvik.exe", false);
    TCrashExceptionInfo exception;
    exception.Address = 0x00401A2B;
    exception.ModuleFileName = "C:\\App\\Brenvik.exe";
    exception.ClassName = "brenvik::EConvertError";
    exception.Message = "Bad\tvalue";
    TCrashReportHost host;
    host.AddressDigits = 8;
    const TCrashRegisters registers{0, 0, 0, 0, 0, 0x0012FF00, 0, 0x00401000};
    const FakeMemory memory = DumpMemory(0x0012FF00, 0x00401000, 4);

    const TCrashReportParts parts =
        BuildCrashReport(exception, registers, sample.stack, sample.modules, options, system, memory, host);
    EXPECT_EQ(parts.ReportText,
              parts.HeaderText + "\r\n" + parts.CallStackAndModulesText + "\r\n\r\n" + parts.CpuText);
    EXPECT_EQ(parts.MailText, parts.ReportText);
    EXPECT_NE(parts.ReportText.find("  5.4 Language: Polski\r\n\r\nCall Stack Information:\r\n"), std::string::npos);
    EXPECT_NE(parts.ReportText.find("-\r\n\r\nRegisters:\r\n"), std::string::npos);
    EXPECT_EQ(parts.ErrorMessageText, "Bad\tvalue.");
    EXPECT_EQ(parts.General.Address, "00401A2B");
    EXPECT_EQ(parts.General.Module, "Brenvik.exe");
    EXPECT_EQ(parts.General.Type, "brenvik::EConvertError");
    EXPECT_EQ(parts.General.Message, "Bad value.");
    EXPECT_EQ(parts.ReportText.compare(0, 16, "Crashlog 4.5.4\r\n"), 0);
}

}  // namespace
}  // namespace brenvik
