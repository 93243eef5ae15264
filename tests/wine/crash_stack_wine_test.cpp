// This executable carries its own "CLDATA" block: the call stack it builds
// of itself must name its own functions, files and lines.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <stdexcept>

#include "crash/stack/CrashExports.h"
#include "crash/win32/Win32ContextRegisters.h"
#include "crash/win32/Win32CrashModule.h"
#include "crash/win32/Win32CrashModules.h"
#include "crash/win32/Win32ModuleInfo.h"
#include "crash/win32/Win32ModulesList.h"

namespace brenvik {
namespace {

volatile int sink = 0;
int innerCallLine = 0, middleCallLine = 0, outerCallLine = 0;

// The used part of a thread's stack is one committed region ending at its top.
CrashAddress StackTop() {
    int local = 0;
    MEMORY_BASIC_INFORMATION region{};
    VirtualQuery(&local, &region, sizeof region);
    return reinterpret_cast<CrashAddress>(region.BaseAddress) + region.RegionSize;
}

struct StackProbe {
    __attribute__((noinline)) static TCrashStackList Innermost(Win32ModulesList& modules) {
        CONTEXT context{};
        innerCallLine = __LINE__; CaptureCallerContext(context);
        // The captured instruction pointer is the capture's return address:
        // one byte back lies in the call, as a faulting instruction would.
#if defined(__x86_64__)
        return modules.BuildCallStack(context.Rip - 1, context.Rsp, StackTop());
#else
        return modules.BuildCallStack(context.Eip - 1, context.Esp, StackTop());
#endif
    }
};

// Work after each call keeps it a call rather than a tail jump.
__attribute__((noinline)) TCrashStackList Middle(Win32ModulesList& modules) {
    middleCallLine = __LINE__; TCrashStackList stack = StackProbe::Innermost(modules);
    sink = sink + 1;
    return stack;
}

__attribute__((noinline)) TCrashStackList Outer(Win32ModulesList& modules) {
    outerCallLine = __LINE__; TCrashStackList stack = Middle(modules);
    sink = sink + 1;
    return stack;
}

// Position of the first entry of the procedure from this file at or after `from`.
std::size_t FindEntry(const TCrashStackList& stack, const std::string& procedure, std::size_t from = 0) {
    for (std::size_t i = from; i < stack.size(); ++i)
        if (stack[i].Kind == dkSourceLine && stack[i].ProcedureName == procedure &&
            stack[i].UnitName == "crash_stack_wine_test.cpp")
            return i;
    return stack.size();
}

TEST(CrashStackWine, OwnCallChainIsNamedWithFileProcedureAndLine) {
    Win32ModulesList modules;
    const TCrashStackList stack = Outer(modules);
    ASSERT_FALSE(stack.empty());
    EXPECT_EQ(stack[0].ProcedureName, "Innermost");
    EXPECT_EQ(stack[0].ClassName, "brenvik::(anonymous namespace)::StackProbe");
    EXPECT_NEAR(stack[0].Line, innerCallLine, 1);
    EXPECT_EQ(stack[0].Module, modules.ByHandle(GetModuleHandleA(nullptr)));

    // Innermost first: the calls in Middle and in Outer, each after the entry
    // for the procedure it called.
    const std::size_t middle = FindEntry(stack, "Middle", 1);
    ASSERT_LT(middle, stack.size());
    const std::size_t outer = FindEntry(stack, "Outer", middle + 1);
    ASSERT_LT(outer, stack.size());
    EXPECT_NEAR(stack[middle].Line, middleCallLine, 1);
    EXPECT_NEAR(stack[outer].Line, outerCallLine, 1);
    EXPECT_EQ(stack[middle].ClassName, "brenvik::(anonymous namespace)");
    EXPECT_EQ(stack[middle - 1].ProcedureName, "Innermost");  // the callee named by the direct call
    EXPECT_EQ(stack[outer - 1].ProcedureName, "Middle");
    EXPECT_LT(FindEntry(stack, "TestBody", outer), stack.size());
}

TEST(CrashStackWine, ModulesListHoldsTheProgramAndSystemLibraries) {
    Win32ModulesList modules;
    ASSERT_EQ(modules.Modules().size(), 1u);  // the facility's own module from the start
    modules.Refresh();
    ASSERT_GE(modules.Modules().size(), 3u);
    EXPECT_TRUE(std::is_sorted(modules.Modules().begin(), modules.Modules().end(),
                               [](const auto& a, const auto& b) { return a->Handle < b->Handle; }));

    const TCrashModuleInfo* program = modules.ByHandle(GetModuleHandleA(nullptr));
    ASSERT_NE(program, nullptr);
    EXPECT_EQ(program->Kind, mkProgram);
    EXPECT_NE(program->FileName.find("brenvik_crash_stack_wine_tests.exe"), std::string::npos);
    EXPECT_GT(program->Size, 100000u);
    EXPECT_EQ(program->Version, "");  // no version resource
    EXPECT_EQ(program->DataVersion, 454);
    EXPECT_GT(program->BuildTime, 45000.0);
    EXPECT_TRUE(program->SourceIndex);
    ASSERT_TRUE(program->Options);

    for (const char* name : {"kernel32.dll", "ntdll.dll"}) {
        // Quick records of the refresh are completed on their first lookup.
        const auto quick = std::find_if(modules.Modules().begin(), modules.Modules().end(), [&](const auto& m) {
            return m->Handle == reinterpret_cast<CrashAddress>(GetModuleHandleA(name));
        });
        ASSERT_NE(quick, modules.Modules().end()) << name;
        EXPECT_EQ((*quick)->Kind, mkNotExamined) << name;
        const TCrashModuleInfo* library = modules.ByHandle(GetModuleHandleA(name));
        EXPECT_EQ(library, quick->get()) << name;
        EXPECT_EQ(library->Kind, mkLibrary) << name;
        EXPECT_FALSE(library->Version.empty()) << name;
        EXPECT_GT(library->Size, 0u) << name;
        EXPECT_FALSE(library->Functions.empty()) << name;
        EXPECT_FALSE(library->SourceIndex) << name;
        EXPECT_EQ(library->DataVersion, 454) << name;  // none: the current version
    }
}

TEST(CrashStackWine, SystemExportsAndForeignAddresses) {
    Win32ModulesList modules;
    HMODULE kernel32 = GetModuleHandleA("kernel32.dll");
    const TCrashModuleInfo* library = modules.ByHandle(kernel32);
    ASSERT_NE(library, nullptr);
    EXPECT_TRUE(std::is_sorted(library->Functions.begin(), library->Functions.end(),
                               [](const auto& a, const auto& b) { return a.Address < b.Address; }));
    // An export whose code lies in kernel32 itself names its procedure.
    const auto own = std::find_if(library->Functions.begin(), library->Functions.end(), [&](const auto& f) {
        return f.Size > 1 && modules.ModuleAt(f.Address) == library;
    });
    ASSERT_NE(own, library->Functions.end());
    const TCrashStackList stack = modules.BuildCallStack(own->Address + own->Size / 2, 0, 0);
    ASSERT_EQ(stack.size(), 1u);
    EXPECT_EQ(stack[0].Kind, dkProcedure);
    EXPECT_EQ(stack[0].Module, library);
    EXPECT_EQ(stack[0].ProcedureName, FindExport(library->Functions, own->Address + own->Size / 2)->Name);

    // Memory of no module at all.
    void* block = VirtualAlloc(nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_EXECUTE_READWRITE);
    ASSERT_NE(block, nullptr);
    const TCrashStackList outside = modules.BuildCallStack(reinterpret_cast<CrashAddress>(block) + 16, 0, 0);
    VirtualFree(block, 0, MEM_RELEASE);
    ASSERT_EQ(outside.size(), 1u);
    EXPECT_EQ(outside[0].Kind, dkOutside);
    EXPECT_EQ(outside[0].Module, nullptr);
}

TEST(CrashStackWine, ProceduresAreFoundByQualifiedName) {
    Win32ModulesList modules;
    EXPECT_EQ(modules.FindProcedureAddress("crash_stack_wine_test.brenvik::(anonymous namespace).Middle"),
              reinterpret_cast<CrashAddress>(&Middle));
    EXPECT_FALSE(modules.FindProcedureAddress("crash_stack_wine_test.brenvik::(anonymous namespace).middle"));
}

// Entry points that Windows calls: on i686 their symbols carry "@N".
struct EntryPoints {
    __attribute__((noinline)) static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM w, LPARAM l) {
        return DefWindowProcA(window, message, w, l);
    }
    __attribute__((noinline)) static DWORD WINAPI ThreadProc(void* parameter) {
        return parameter ? 1 : 0;
    }
};

TEST(CrashStackWine, StdcallEntryPointsAreNamedByClassAndProcedure) {
    Win32ModulesList modules;
    const std::pair<CrashAddress, const char*> entries[] = {
        {reinterpret_cast<CrashAddress>(&EntryPoints::WindowProc), "WindowProc"},
        {reinterpret_cast<CrashAddress>(&EntryPoints::ThreadProc), "ThreadProc"}};
    for (const auto& [address, procedure] : entries) {
        const TCrashStackList stack = modules.BuildCallStack(address + 1, 0, 0);
        ASSERT_EQ(stack.size(), 1u) << procedure;
        EXPECT_EQ(stack[0].Kind, dkSourceLine) << procedure;
        EXPECT_EQ(stack[0].UnitName, "crash_stack_wine_test.cpp") << procedure;
        EXPECT_EQ(stack[0].ClassName, "brenvik::(anonymous namespace)::EntryPoints") << procedure;
        EXPECT_EQ(stack[0].ProcedureName, procedure);
        EXPECT_TRUE(modules.FindProcedureAddress(
            std::string("crash_stack_wine_test.brenvik::(anonymous namespace)::EntryPoints.") + procedure))
            << procedure;
    }
}

// The C++ runtime is linked in without line rows; its frames show by symbol.
TEST(CrashStackWine, RuntimeLibraryCodeIsNamedByItsSymbol) {
    Win32ModulesList modules;
    const auto address = reinterpret_cast<CrashAddress>(&std::__throw_out_of_range_fmt);
    const TCrashStackList stack = modules.BuildCallStack(address + 1, 0, 0);
    ASSERT_EQ(stack.size(), 1u);
    EXPECT_EQ(stack[0].Module, modules.ByHandle(GetModuleHandleA(nullptr)));
    EXPECT_EQ(stack[0].Kind, dkQualified);
    EXPECT_EQ(stack[0].ClassName, "std");
    EXPECT_EQ(stack[0].ProcedureName, "__throw_out_of_range_fmt");
    EXPECT_EQ(stack[0].Line, 0);
}

TEST(CrashStackWine, OwnModuleRecordPublishesItsOptionChanges) {
    Win32CrashOptionsEnvironment environment;
    SetActiveCrashEnvironment(&environment);
    {
        Win32ModulesList modules;
        const TCrashModuleInfo* own = modules.ByHandle(GetModuleHandleA(nullptr));
        ASSERT_NE(own, nullptr);
        own->Options->SetMailSubject("Published by the module record");
        TCrashModuleOptions reread(own->FileName, false);
        TModuleData stored;
        LoadModuleDataBlock(GetModuleHandleA(nullptr), reread, stored);
        EXPECT_EQ(reread.MailSubject(), "Published by the module record");
    }
    SetActiveCrashEnvironment(nullptr);
}

// The shipped program names its version in the modules table and the report header.
TEST(CrashStackWine, ShippedProgramCarriesItsVersion) {
    char path[MAX_PATH] = {};
    std::string folder(path, GetModuleFileNameA(nullptr, path, MAX_PATH));
    folder.erase(folder.find_last_of('\\'));
    HMODULE program = LoadLibraryExA((folder + "\\Brenvik.exe").c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
    ASSERT_NE(program, nullptr);
    const std::unique_ptr<TCrashModuleInfo> info = LoadModuleInfo(program);
    FreeLibrary(program);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->Version, BRENVIK_PROJECT_VERSION ".0");
    EXPECT_EQ(info->Description, "Brenvik - barcode collector import for Veltra II");
}

TEST(CrashStackWine, CurrentOptionsExistOnlyWhileTheFacilityIsActive) {
    try {
        CurrentCrashLogOptions();
        ADD_FAILURE() << "no modules list, yet options were returned";
    } catch (const EAssertionFailed& failure) {
        EXPECT_EQ(failure.Message, "Cannot use 'CurrentCrashLogOptions' function without Crashlog activate.");
    }
    Win32ModulesList modules;
    SetActiveCrashModules(&modules);
    TCrashModuleOptionsEx& options = CurrentCrashLogOptions();
    EXPECT_EQ(&options, modules.ByHandle(CrashFacilityModule())->Options.get());
    EXPECT_EQ(&CurrentCrashLogOptions(), &options);
    SetActiveCrashModules(nullptr);
    EXPECT_THROW(CurrentCrashLogOptions(), EAssertionFailed);
}

}  // namespace
}  // namespace brenvik
