#include <gtest/gtest.h>

#include <sstream>

#include "BinutilsListings.h"
#include "CppNames.h"
#include "DebugInfoBuilder.h"
#include "crash/debuginfo/SourceIndex.h"

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
        {"_ZN7brenvik12_GLOBAL__N_116HookedThreadProcEPv@4", "brenvik::(anonymous namespace)", "HookedThreadProc"},
        {"main", "", "main"},
        {"main.cold", "", "main"},
        {"_ZN12_GLOBAL__N_110WindowProcEP6HWND__jjl@16.cold", "(anonymous namespace)", "WindowProc"},
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
    // Each object's symbols follow its ".file" record; section 1 is the code.
    std::istringstream symbols(
        "SYMBOL TABLE:\n"
        "[  0](sec -2)(fl 0x00)(ty    0)(scl 103) (nx 1) 0x0000002f crtexe.c\n"
        "File \n"
        "[  2](sec  1)(fl 0x00)(ty   20)(scl   2) (nx 1) 0x00000008 __ZN1A1fEv\n"
        "AUX tagndx 0 ttlsiz 0x0 lnnos 0 next 0\n"
        "[  4](sec  1)(fl 0x00)(ty   20)(scl   3) (nx 0) 0x00000000 _main\n"
        "[  5](sec  5)(fl 0x00)(ty    0)(scl   3) (nx 0) 0x00000014 _managedapp\n"
        "[  6](sec  1)(fl 0x00)(ty    0)(scl   3) (nx 1) 0x00000000 .text\n"
        "[  8](sec -2)(fl 0x00)(ty    0)(scl 103) (nx 1) 0x00000000 fake\n"
        "[  9](sec  1)(fl 0x00)(ty   20)(scl   2) (nx 0) 0x00000100 ___cxa_throw\n");
    const auto code = ParseCodeSymbols(symbols, 1, 0x401000, true);
    ASSERT_EQ(code.size(), 3u);
    EXPECT_EQ(code[0].Name, "main");
    EXPECT_EQ(code[0].Address, 0x401000u);
    EXPECT_EQ(code[0].Source, "crtexe.c");
    EXPECT_EQ(code[1].Name, "_ZN1A1fEv");
    EXPECT_EQ(code[1].Address, 0x401008u);
    EXPECT_EQ(code[2].Name, "__cxa_throw");
    EXPECT_EQ(code[2].Source, "");  // the runtime's objects name no source
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
    const std::vector<CodeSymbol> symbols = {{text, "_ZN2ns5Klass3RunEv", "Main.cpp"}, {text + 30, "helper", "Main.cpp"}};
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

// Runtime code has symbols but no lines: its procedure records name it,
// with the unit of its object's source where the object names one.
TEST(CldataTool, CodeWithoutLinesIsNamedByItsSymbol) {
    const std::uint64_t base = 0x400000, text = base + 0x1000;
    const std::vector<LineRow> rows = {{"Main.cpp", 10, text}, {"Main.cpp", -1, text + 16}};
    const std::vector<CodeSymbol> symbols = {{text, "_ZN1A3RunEv", "Main.cpp"},
                                             {text + 16, "mainCRTStartup", "crtexe.c"},
                                             {text + 32, "_ZSt24__throw_out_of_range_fmtPKcz", ""},
                                             {text + 48, "_ZNSt6vectorIiSaIiEE2atEj", ""},
                                             {text + 64, "__cxa_throw", ""}};
    const brenvik::TDebugInfo info = BuildDebugInfo(rows, symbols, {base, text, text + 80});
    const brenvik::TSourceIndex index(brenvik::DecodeDebugInfo(brenvik::EncodeDebugInfo(info)));
    struct Expected {
        std::uint32_t offset;
        const char *unit, *owner, *procedure;
    };
    for (const Expected& e : std::vector<Expected>{{20, "crtexe", "", "mainCRTStartup"},
                                                   {33, "", "std", "__throw_out_of_range_fmt"},
                                                   {63, "", "std::vector<int, std::allocator<int> >", "at"},
                                                   {79, "", "", "__cxa_throw"}}) {
        EXPECT_FALSE(index.Find(e.offset)) << e.offset;
        const auto procedure = index.FindProcedure(e.offset);
        ASSERT_TRUE(procedure) << e.offset;
        EXPECT_EQ(*procedure, (brenvik::TSourceLocation{e.unit, e.owner, e.procedure, 0})) << e.offset;
    }
    EXPECT_EQ(index.FindProcedure(5)->UnitName, "Main");  // code with lines keeps its file's unit
    EXPECT_FALSE(index.FindProcedure(80));
}

}  // namespace
}  // namespace cldata
