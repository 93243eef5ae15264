// This executable carries its own "CLDATA" resource, written at build time
// from its DWARF; it must find it, decode it and resolve its own code.
#include <gtest/gtest.h>
#include <windows.h>

#include "crash/debuginfo/DebugInfo.h"
#include "crash/win32/Win32CrashModule.h"

namespace brenvik {
namespace {

int knownCallLine = 0;
void* knownCallReturn = nullptr;

__attribute__((noinline)) void* ReturnAddress() { return __builtin_return_address(0); }

__attribute__((noinline)) void KnownFunction() {
    knownCallLine = __LINE__; knownCallReturn = ReturnAddress();
}

std::string OwnFileName() {
    char name[MAX_PATH];
    return std::string(name, GetModuleFileNameA(nullptr, name, MAX_PATH));
}

std::uint32_t CodeOffset(const void* address) {
    return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(address) -
                                      reinterpret_cast<std::uintptr_t>(GetModuleHandleA(nullptr)) - 4096);
}

class CrashCldataWine : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(LoadModuleDataBlock(GetModuleHandleA(nullptr), options, data), TDataBlockStatus::Loaded);
        info = DecodeDebugInfo(data.DebugInfo, data.Version);
    }

    TCrashModuleOptions options{OwnFileName(), false};
    TModuleData data;
    TDebugInfo info;
};

TEST_F(CrashCldataWine, OwnBlockIsAResourceOfTheCurrentVersion) {
    EXPECT_GT(FindCldataResource(GetModuleHandleA(nullptr)).size(), 14u);
    EXPECT_EQ(data.Version, 454);
    EXPECT_GT(data.BuildTime, 45000.0);  // built after 2023
    EXPECT_EQ(options.GetText(2), "Error.");
    EXPECT_FALSE(info.Units.empty());
    EXPECT_TRUE(FindCldataResource(GetModuleHandleA("kernel32.dll")).empty());
}

TEST_F(CrashCldataWine, KnownFunctionResolvesToItsFileProcedureAndLine) {
    KnownFunction();
    const auto entry = FindSourceLocation(info, CodeOffset(reinterpret_cast<const void*>(&KnownFunction)));
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->UnitName, "crash_cldata_wine_test.cpp");
    EXPECT_EQ(entry->ClassName, "brenvik::(anonymous namespace)");
    EXPECT_EQ(entry->ProcedureName, "KnownFunction");
    // The call inside it: the return address minus one lies in the call.
    const auto call = FindSourceLocation(info, CodeOffset(static_cast<char*>(knownCallReturn) - 1));
    ASSERT_TRUE(call);
    EXPECT_EQ(call->ProcedureName, "KnownFunction");
    EXPECT_NEAR(call->Line, knownCallLine, 1);

    bool recorded = false;
    for (const TDebugProcedure& procedure : info.Procedures)
        recorded = recorded || (procedure.Offset == CodeOffset(reinterpret_cast<const void*>(&KnownFunction)) &&
                                procedure.Name == "crash_cldata_wine_test.brenvik::(anonymous namespace).KnownFunction");
    EXPECT_TRUE(recorded);
}

TEST_F(CrashCldataWine, PublishedChangesOverrideTheStoredOptions) {
    Win32CrashOptionsEnvironment environment;
    EXPECT_TRUE(environment.IsOwnModule(OwnFileName()));
    EXPECT_FALSE(environment.IsOwnModule("kernel32.dll"));
    TCrashModuleOptionsEx own(OwnFileName(), true, &environment);
    TCrashModuleOptions reread(OwnFileName(), false);
    TModuleData again;
    LoadModuleDataBlock(GetModuleHandleA(nullptr), reread, again);
    EXPECT_EQ(reread.MailSubject(), "");  // the section holds the one zero byte of start-up
    own.SetMailSubject("Changed at run time");
    LoadModuleDataBlock(GetModuleHandleA(nullptr), reread, again);
    EXPECT_EQ(reread.MailSubject(), "Changed at run time");
}

}  // namespace
}  // namespace brenvik
