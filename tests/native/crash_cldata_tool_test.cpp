#include <gtest/gtest.h>

#include <sstream>

#include "BinutilsListings.h"
#include "CppNames.h"
#include "DebugInfoBuilder.h"

namespace cldata {
namespace {

TEST(CldataTool, SplitsLinkedNamesIntoOwnerAndProcedure) {
    const std::vector<std::tuple<std::string, std::string, std::string>> cases = {
        {"_ZN7brenvik13TSerialPort324OpenEv", "brenvik::TSerialPort32", "Open"},
        {"_ZN7brenvik10FormatIntsB5cxx11ESt17basic_string_viewIcSt11char_traitsIcEESt16initializer_listIxE", "brenvik",
         "FormatInts[abi:cxx11]"},
        {"_ZN12_GLOBAL__N_17HandlerEv", "(anonymous namespace)", "Handler"},
        {"_ZNSt6vectorIiSaIiEE9push_backERKi", "std::vector<int, std::allocator<int> >", "push_back"},
        {"_ZN3Foo3BarIiEET_S1_", "Foo", "Bar<int>"},  // a template's return type is not part of its name
        {"_ZN1AltERKS_", "A", "operator<"},
        {"_ZN1AclEv", "A", "operator()"},
        {"_ZN1A3runEv.cold", "A", "run"},
        {"_ZN1A3runEv.constprop.0", "A", "run"},
        {"WinMain@16", "", "WinMain"},
        {"main", "", "main"},
    };
    for (const auto& [linked, owner, procedure] : cases) {
        const QualifiedName name = SplitSymbolName(linked);
        EXPECT_EQ(name.Class, owner) << linked;
        EXPECT_EQ(name.Procedure, procedure) << linked;
    }
}

TEST(CldataTool, ReadsBinutilsListings) {
    std::istringstream lines(
        "Contents of the .debug_line section:\n\n/src/app/Main.cpp:\n"
        "File name                            Line number    Starting address    View    Stmt\n"
        "Main.cpp                                      12            0x401000               x\n"
        "Main.cpp                                      13            0x401008       1       x\n"
        "Main.cpp                                       -            0x401010\n");
    const auto rows = ParseDecodedLines(lines);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[1].File, "Main.cpp");
    EXPECT_EQ(rows[1].Line, 13);
    EXPECT_EQ(rows[2].Line, -1);
    EXPECT_EQ(rows[2].Address, 0x401010u);
    std::istringstream symbols("00401008 T __ZN1A1fEv\n00401000 t _main\n0044d000 b .bss\n00436000 r .rdata\n");
    const auto code = ParseCodeSymbols(symbols, true);
    ASSERT_EQ(code.size(), 2u);
    EXPECT_EQ(code[0].Name, "main");
    EXPECT_EQ(code[1].Name, "_ZN1A1fEv");
}

// Rows of two functions whose lines go up and down, an inlined header line,
// line 0, and a sequence the linker dropped (address 0).
TEST(CldataTool, EveryRowResolvesToItsFileLineAndFunction) {
    const std::uint64_t base = 0x400000, text = base + 0x1000;
    const std::vector<LineRow> rows = {
        {"Main.cpp", 10, text},         {"Main.cpp", 12, text + 4},  {"Main.cpp", 11, text + 9},
        {"vector", 300, text + 12},     {"Main.cpp", 0, text + 20},  {"Main.cpp", 14, text + 22},
        {"Main.cpp", 40, text + 30},    {"Main.cpp", 41, text + 31}, {"Main.cpp", -1, text + 40},
        {"Gone.cpp", 5, 0},             {"Gone.cpp", -1, 8},
    };
    const std::vector<CodeSymbol> symbols = {{text, "_ZN2ns5Klass3RunEv"}, {text + 30, "helper"}};
    const brenvik::TDebugInfo info = BuildDebugInfo(rows, symbols, {base, text, text + 0x100});
    EXPECT_EQ(brenvik::DecodeDebugInfo(brenvik::EncodeDebugInfo(info)), info);
    struct Expected {
        std::uint64_t address;
        const char *unit, *owner, *procedure;
        int line;
    };
    for (const Expected& e : std::vector<Expected>{{text, "Main.cpp", "ns::Klass", "Run", 10},
                                                   {text + 5, "Main.cpp", "ns::Klass", "Run", 12},
                                                   {text + 9, "Main.cpp", "ns::Klass", "Run", 11},
                                                   {text + 19, "vector.", "ns::Klass", "Run", 300},
                                                   {text + 21, "vector.", "ns::Klass", "Run", 300},
                                                   {text + 29, "Main.cpp", "ns::Klass", "Run", 14},
                                                   {text + 30, "Main.cpp", "", "helper", 40},
                                                   {text + 39, "Main.cpp", "", "helper", 41}}) {
        const auto location = brenvik::FindSourceLocation(info, static_cast<std::uint32_t>(e.address - base - 4096));
        ASSERT_TRUE(location) << e.address - text;
        EXPECT_EQ(*location, (brenvik::TSourceLocation{e.unit, e.owner, e.procedure, e.line})) << e.address - text;
    }
    EXPECT_FALSE(brenvik::FindSourceLocation(info, 40));
    ASSERT_EQ(info.Procedures.size(), 2u);
    EXPECT_EQ(info.Procedures[0].Name, "Main.ns::Klass.Run");
    EXPECT_EQ(info.Procedures[0].Size, 30u);
    EXPECT_EQ(info.Procedures[1].Offset, 30u);
}

}  // namespace
}  // namespace cldata
