#include <gtest/gtest.h>

#include <random>
#include <set>

#include "crash/debuginfo/DebugInfo.h"

namespace brenvik {
namespace {

TDebugLineEntry Entry(std::uint32_t line, std::uint32_t code, std::optional<std::string> name = std::nullopt) {
    return {line, code, std::move(name)};
}

// A program of many units whose entries span every delta range of every form.
TDebugInfo GeneratedProgram(unsigned seed) {
    std::mt19937 random(seed);
    auto pick = [&](std::uint32_t low, std::uint32_t high) {
        return std::uniform_int_distribution<std::uint32_t>(low, high)(random);
    };
    const std::vector<std::pair<std::uint32_t, std::uint32_t>> ranges = {
        {4, 32}, {8, 8}, {32, 128}, {65536, 4095}, {65536, 65536}};
    TDebugInfo info;
    std::uint32_t offset = 0;
    for (int u = 0; u < 40; ++u) {
        TDebugUnit unit{u % 3 ? "File" + std::to_string(u) + ".cpp" : "Legacy" + std::to_string(u),
                        static_cast<std::int32_t>(pick(1, 5000)), offset, 0, {}};
        for (int e = 0, count = static_cast<int>(pick(0, 30)); e < count; ++e) {
            const auto [lineLimit, codeLimit] = ranges[pick(0, 4)];
            std::optional<std::string> name;
            if (pick(0, 2) == 0) name = std::string(pick(0, 2) ? "" : ".") + "Proc" + std::to_string(e);
            unit.Program.push_back(Entry(pick(1, lineLimit), pick(codeLimit == 4095 ? 0 : 1, codeLimit), name));
        }
        unit.CodeSize = pick(1, 200);
        for (const TDebugLineEntry& entry : unit.Program) unit.CodeSize += entry.CodeDelta;
        offset += unit.CodeSize;
        info.Procedures.push_back({"Unit" + std::to_string(u) + ".TClass.Method", unit.CodeOffset, unit.CodeSize});
        info.Units.push_back(std::move(unit));
    }
    return info;
}

TEST(CrashDebugInfo, EncodeThenDecodeIsIdentityOverEveryForm) {
    for (unsigned seed = 1; seed <= 20; ++seed) {
        const TDebugInfo info = GeneratedProgram(seed);
        std::set<TLineEntryForm> forms;
        for (const TDebugUnit& unit : info.Units)
            for (const TDebugLineEntry& entry : unit.Program) forms.insert(*LineEntryFormFor(entry));
        EXPECT_EQ(forms.size(), 5u) << seed;
        EXPECT_EQ(DecodeDebugInfo(EncodeDebugInfo(info)), info) << seed;
    }
}

TEST(CrashDebugInfo, EntriesUseTheStoredBitLayout) {
    const std::vector<std::pair<TDebugLineEntry, std::string>> cases = {
        {Entry(2, 3), "\x44"},
        {Entry(3, 2, "A"), std::string("\x45\x01") + char('A' ^ 0x5B)},
        {Entry(5, 100, ""), std::string("\x37\x26\x00", 3)},
        {Entry(5, 100), "\x33\x26"},
        {Entry(1, 0), std::string("\x0B\x00\xF0\xFF", 4)},
        {Entry(65536, 4095), std::string("\xFB\xFF\xEF\xFF", 4)},
        {Entry(65535, 4095), std::string("\xEB\xFF\xEF\xFF\xFE\xFF\xFE\x0F", 8)},  // would be the escape word
    };
    for (const auto& [entry, bytes] : cases) {
        TDebugInfo info{{}, {{"U.cpp", 1, 0, 10, {entry}}}};
        const std::string stream = EncodeDebugInfo(info);
        EXPECT_EQ(stream.substr(stream.size() - bytes.size()), bytes) << entry.LineDelta << "/" << entry.CodeDelta;
        EXPECT_EQ(DecodeDebugInfo(stream), info);
    }
    EXPECT_FALSE(LineEntryFormFor(Entry(0, 1)));
    EXPECT_FALSE(LineEntryFormFor(Entry(65537, 1)));
    EXPECT_FALSE(LineEntryFormFor(Entry(5, 65537)));
    EXPECT_THROW(EncodeDebugInfo({{}, {{"U.cpp", 1, 0, 1, {Entry(1, 70000)}}}}), ECrashStreamError);
    EXPECT_THROW(EncodeDebugInfo({{{std::string(256, 'x'), 0, 0}}, {}}), ECrashStreamError);
}

TEST(CrashDebugInfo, OlderVersionsReadTheirOwnLayouts) {
    const TDebugInfo info{{{"Main.TForm1.Click", 16, 40}}, {{"Main", 10, 0, 90000, {Entry(0x4445, 0x4445)}}}};
    const std::string stream = EncodeDebugInfo(info);
    EXPECT_EQ(stream.substr(stream.size() - 8), "\xEB\xFF\xEF\xFF\x44\x44\x44\x44");
    // Before 423 the escape word is an ordinary long entry; the four bytes after it are entries of their own.
    const TDebugInfo v422 = DecodeDebugInfo(stream, 422);
    ASSERT_EQ(v422.Units.size(), 1u);
    EXPECT_EQ(v422.Units[0].Program,
              (std::vector<TDebugLineEntry>{Entry(65535, 4095), Entry(2, 3), Entry(2, 3), Entry(2, 3), Entry(2, 3)}));
    // Up to 404 there are no procedure records.
    const TDebugInfo v404 = DecodeDebugInfo(stream.substr(4 + 26), 404);
    EXPECT_TRUE(v404.Procedures.empty());
    EXPECT_EQ(v404.Units, v422.Units);
}

TEST(CrashDebugInfo, EveryTruncationRaises) {
    TDebugInfo program = GeneratedProgram(7);
    program.Units.resize(4);
    const std::string stream = EncodeDebugInfo(program);
    for (std::size_t size = 0; size < stream.size(); ++size)
        EXPECT_THROW(DecodeDebugInfo(std::string_view(stream).substr(0, size)), ECrashStreamError) << size;
    // A unit count far beyond the bytes left is refused before anything is reserved.
    EXPECT_THROW(DecodeDebugInfo(std::string("\0\0\0\0\xFF\xFF\xFF\x7F", 8)), ECrashStreamError);
    // A line program that overruns its stated length.
    TDebugInfo info{{}, {{"U.cpp", 1, 0, 10, {Entry(3, 2, "Abc")}}}};
    std::string damaged = EncodeDebugInfo(info);
    damaged[damaged.size() - 6] = 2;  // program length 5 → 2 cuts the name
    EXPECT_THROW(DecodeDebugInfo(damaged), ECrashStreamError);
}

TEST(CrashDebugInfo, LocatesLinesAndNames) {
    // "Other.cpp" names its procedure with an entry that covers no code, so
    // the whole unit has it; "Main" changes names along the way.
    const TDebugInfo info{{},
                          {{"Other.cpp", 6, 0, 100, {Entry(1, 0, "ns::Klass.Proc")}},
                           {"Main", 10, 100, 100,
                            {Entry(1, 4, "Class1.Run"), Entry(9, 6), Entry(10, 5, ".Stop"), Entry(10, 2, "@Free"),
                             Entry(10, 3)}}}};
    auto at = [&](std::uint32_t offset) { return FindSourceLocation(info, offset); };
    EXPECT_EQ(at(0), (TSourceLocation{"Other.cpp", "ns::Klass", "Proc", 7}));
    EXPECT_EQ(at(99), (TSourceLocation{"Other.cpp", "ns::Klass", "Proc", 7}));
    EXPECT_EQ(at(100), (TSourceLocation{"Main.pas", "Class1", "Run", 10}));  // the first name covers its own range
    EXPECT_EQ(at(103), (TSourceLocation{"Main.pas", "Class1", "Run", 10}));
    EXPECT_EQ(at(104), (TSourceLocation{"Main.pas", "Class1", "Run", 11}));
    EXPECT_EQ(at(114), (TSourceLocation{"Main.pas", "Class1", "Run", 20}));  // later names start after their range
    EXPECT_EQ(at(115), (TSourceLocation{"Main.pas", "Class1", "Stop", 30}));
    EXPECT_EQ(at(117), (TSourceLocation{"Main.pas", "", "_Free", 40}));
    EXPECT_EQ(at(120), (TSourceLocation{"Main.pas", "", "_Free", 50}));  // past the last entry, to the unit's end
    EXPECT_EQ(at(199), (TSourceLocation{"Main.pas", "", "_Free", 50}));
    EXPECT_FALSE(at(200));
}

}  // namespace
}  // namespace brenvik
