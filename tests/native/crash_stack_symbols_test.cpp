// Turning code addresses into names: export names, export sizes and lookup,
// the debug-information index, and the choice between them.
#include <gtest/gtest.h>

#include <random>

#include "crash/debuginfo/SourceIndex.h"
#include "crash/stack/CallStackEntry.h"
#include "crash/stack/CrashExports.h"
#include "crash/stack/ModuleSourceIndex.h"
#include "crash/stack/ModuleVersion.h"

namespace brenvik {
namespace {

void ExpectName(const std::string& exported, std::uint8_t kind, const std::string& unit, const std::string& className,
                const std::string& procedure) {
    const TExportName name = InterpretExportName(exported);
    EXPECT_EQ(name.Kind, kind) << exported;
    EXPECT_EQ(name.UnitName, unit) << exported;
    EXPECT_EQ(name.ClassName, className) << exported;
    EXPECT_EQ(name.ProcedureName, procedure) << exported;
}

TEST(CrashExportNames, PlainDottedAndDecoratedNames) {
    ExpectName("CreateFileA", dkProcedure, "", "", "CreateFileA");
    ExpectName("Unit.Proc", dkQualified, "Unit.pas", "", "Proc");
    ExpectName("Unit.TClass.Method", dkQualified, "Unit.pas", "TClass", "Method");
    ExpectName("Unit.Proc@8", dkQualified, "Unit.pas", "", "Proc");  // stdcall argument size dropped
    ExpectName("Unit.TClass.Method@12", dkQualified, "Unit.pas", "TClass", "Method");
    ExpectName("@Unit@TClass@Method$qqrv", dkQualified, "Unit.pas", "TClass", "Method");
    ExpectName("@Unit@Proc$qqri", dkQualified, "Unit.pas", "", "Proc");
    ExpectName("@Unit@@Init$qqrv", dkQualified, "Unit.pas", "", "_Init");
    ExpectName("@Unit@TClass@", dkQualified, "Unit.pas", "", "TClass");
    ExpectName("@Proc$qv", dkProcedure, "", "", "Proc");
    ExpectName("@Proc", dkProcedure, "", "", "Proc");
}

TEST(CrashExportNames, NamesThatSayNothingLeaveTheModuleOnly) {
    for (const char* name : {"?Method@TClass@@QAEXXZ", "@$xp$6TClass", "A.B.C.D", "@", "", "Unit.", "@Unit@@$qqrv"})
        EXPECT_EQ(InterpretExportName(name).Kind, dkModule) << name;
}

TEST(CrashModuleVersion, FourNumbersFromTheFixedVersionAndTheStringPath) {
    EXPECT_EQ(FileVersionText(0x00050001, 0x0A280001), "5.1.2600.1");
    EXPECT_EQ(FileVersionText(0xFFFF0000, 0x0000FFFF), "65535.0.0.65535");
    EXPECT_EQ(FileVersionText(0, 1), "0.0.0.1");
    EXPECT_EQ(FileVersionText(0, 0), "");
    EXPECT_EQ(VersionStringPath(0x0415, 0x04E2, "FileDescription"), "\\StringFileInfo\\041504E2\\FileDescription");
    EXPECT_EQ(VersionStringPath(0x0009, 0x00b0, "FileDescription"), "\\StringFileInfo\\000900B0\\FileDescription");
}

std::uint32_t SizeOf(const std::vector<std::uint8_t>& code) { return EstimateProcedureSize(code.data(), code.size()); }

TEST(CrashExportSize, FramedUpToTheReturnAfterTheFrameElseTheFirstReturn) {
    // push ebp; mov ebp,esp; ret-byte inside an operand; pop ebp; ret
    EXPECT_EQ(SizeOf({0x55, 0x89, 0xE5, 0xB8, 0xC3, 0, 0, 0, 0x5D, 0xC3}), 9u);
    EXPECT_EQ(SizeOf({0x55, 0x89, 0xE5, 0xC9, 0xC2, 0x08, 0x00}), 4u);   // leave; ret 8
    EXPECT_EQ(SizeOf({0x55, 0x89, 0xE5, 0x5D, 0x90, 0xC3}), 1u);          // pop not followed by a return
    EXPECT_EQ(SizeOf({0x55, 0x89, 0xE5, 0x5D}), 1u);                      // ends before the return
    EXPECT_EQ(SizeOf({0x31, 0xC0, 0x40, 0xCB}), 3u);                      // frameless: the first return byte
    EXPECT_EQ(SizeOf({0xC3}), 0u);
    EXPECT_EQ(SizeOf({0x31, 0xC0, 0x40}), 1u);
    EXPECT_EQ(SizeOf({}), 1u);
}

TEST(CrashExportLookup, BinarySearchOverInclusiveRanges) {
    TCrashFunctionsList exports;
    for (CrashAddress a = 0x1000; a < 0x1000 + 100 * 0x20; a += 0x20) exports.push_back({"F", a, 0x10});
    EXPECT_EQ(FindExport(exports, 0x0FFF), nullptr);
    EXPECT_EQ(FindExport(exports, 0x1000)->Address, 0x1000u);
    EXPECT_EQ(FindExport(exports, 0x1010)->Address, 0x1000u);  // start + size still belongs to it
    EXPECT_EQ(FindExport(exports, 0x1011), nullptr);            // the gap before the next
    EXPECT_EQ(FindExport(exports, 0x1000 + 57 * 0x20 + 5)->Address, 0x1000u + 57 * 0x20);
    EXPECT_EQ(FindExport(exports, 0x1000 + 99 * 0x20 + 0x10)->Address, 0x1000u + 99 * 0x20);
    EXPECT_EQ(FindExport(exports, 0x1000 + 100 * 0x20), nullptr);
    EXPECT_EQ(FindExport({}, 0x1000), nullptr);
}

TEST(CrashCallStackEntry, DebugInformationFirstThenExportsThenTheModule) {
    TCrashModuleInfo module;
    module.Handle = 0x400000;
    module.Functions = {{"@Main@TFormMain@BtnImportClick$qqrp14System@TObject", 0x401000, 0x80},
                        {"Exported", 0x402000, 0x20}};
    TDebugInfo info;
    info.Units.push_back({"Main.cpp", 10, 0, 0x40, {{2, 0x10, "TFormMain.Create"}, {3, 0x30, ".Show"}}});
    module.DebugInfo = std::make_unique<std::string>(EncodeDebugInfo(info));
    module.SourceIndex = std::make_shared<TModuleSourceIndex>(*module.DebugInfo, kCrashDataVersion);

    const TCrashDebugInfo fromDebug = DescribeCodeAddress(&module, 0x401020);
    EXPECT_EQ(fromDebug.Kind, dkSourceLine);
    EXPECT_EQ(fromDebug.Module, &module);
    EXPECT_EQ(fromDebug.Address, 0x401020u);
    EXPECT_EQ(fromDebug.UnitName, "Main.cpp");
    EXPECT_EQ(fromDebug.ClassName, "TFormMain");
    EXPECT_EQ(fromDebug.ProcedureName, "Create");
    EXPECT_EQ(fromDebug.Line, 12);

    const TCrashDebugInfo fromExport = DescribeCodeAddress(&module, 0x401050);  // past the unit's code
    EXPECT_EQ(fromExport.Kind, dkQualified);
    EXPECT_EQ(fromExport.UnitName, "Main.pas");
    EXPECT_EQ(fromExport.ClassName, "TFormMain");
    EXPECT_EQ(fromExport.ProcedureName, "BtnImportClick");
    EXPECT_EQ(fromExport.Line, 0);

    EXPECT_EQ(DescribeCodeAddress(&module, 0x402010).ProcedureName, "Exported");
    const TCrashDebugInfo moduleOnly = DescribeCodeAddress(&module, 0x403000);
    EXPECT_EQ(moduleOnly.Kind, dkModule);
    EXPECT_TRUE(moduleOnly.ProcedureName.empty());
    EXPECT_EQ(DescribeCodeAddress(&module, 0x400800).Kind, dkModule);  // below the code: no debug offset

    // Debug information that cannot be decoded leaves the exports to answer.
    module.DebugInfo->resize(module.DebugInfo->size() - 3);
    module.SourceIndex = std::make_shared<TModuleSourceIndex>(*module.DebugInfo, kCrashDataVersion);
    EXPECT_EQ(DescribeCodeAddress(&module, 0x401020).Kind, dkQualified);

    const TCrashDebugInfo outside = DescribeCodeAddress(nullptr, 0x12345);
    EXPECT_EQ(outside.Kind, dkOutside);
    EXPECT_EQ(outside.Address, 0x12345u);
}

// Random units that overlap, hold empty ranges and zero-length entries.
TDebugInfo RandomInfo(std::mt19937& random) {
    auto pick = [&](std::uint32_t low, std::uint32_t high) {
        return std::uniform_int_distribution<std::uint32_t>(low, high)(random);
    };
    TDebugInfo info;
    for (int u = 0, units = static_cast<int>(pick(1, 30)); u < units; ++u) {
        TDebugUnit unit{pick(0, 3) ? "File" + std::to_string(u) + ".cpp" : "Legacy", static_cast<std::int32_t>(pick(1, 900)),
                        pick(0, 3000), pick(0, 400), {}};
        for (int e = 0, count = static_cast<int>(pick(0, 25)); e < count; ++e) {
            std::optional<std::string> name;
            if (pick(0, 2) == 0) name = std::string(pick(0, 2) ? "" : ".") + (pick(0, 1) ? "C.P" : "@Q") + std::to_string(e);
            unit.Program.push_back({pick(1, 40), pick(0, 60), name});
        }
        info.Units.push_back(std::move(unit));
    }
    return info;
}

TEST(CrashSourceIndex, AnswersAsTheLinePrograms) {
    std::mt19937 random(7);
    for (int round = 0; round < 60; ++round) {
        const TDebugInfo info = RandomInfo(random);
        const TSourceIndex index(info);
        for (std::uint32_t offset = 0; offset < 3500; ++offset)
            ASSERT_EQ(index.Find(offset), FindSourceLocation(info, offset)) << "round " << round << " offset " << offset;
        ASSERT_EQ(index.Find(UINT32_MAX), FindSourceLocation(info, UINT32_MAX));
    }
    EXPECT_FALSE(TSourceIndex(TDebugInfo{}).Find(0));
}

}  // namespace
}  // namespace brenvik
