// The freeze watchdog against a real window whose thread stops answering:
// this executable carries its own "CLDATA" block, so the reported call
// stack names the function the thread is frozen in.
#include <gtest/gtest.h>
#include <windows.h>

#include <mutex>
#include <vector>

#include "crash/watchdog/TFreezeWatchdog.h"
#include "crash/win32/Win32CrashModule.h"
#include "crash/win32/Win32CrashModules.h"

namespace brenvik {
namespace {

volatile int sink = 0;

// The work after the wait keeps the call from becoming a tail jump.
__attribute__((noinline)) void BlockedInKnownPlace(DWORD milliseconds) {
    Sleep(milliseconds);
    sink = sink + 1;
}

LONG probesAnswered = 0;

LRESULT CALLBACK ProbedWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NULL) InterlockedIncrement(&probesAnswered);
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND CreateProbedWindow() {
    static const wchar_t* const windowClass = [] {
        WNDCLASSW description{};
        description.lpfnWndProc = ProbedWindowProc;
        description.hInstance = GetModuleHandleW(nullptr);
        description.lpszClassName = L"BrenvikWatchdogTestWindow";
        RegisterClassW(&description);
        return description.lpszClassName;
    }();
    HWND window = CreateWindowExW(0, windowClass, L"Watched", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                                  nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ShowWindow(window, SW_SHOWNORMAL);
    return window;
}

void PumpMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
}

// True once the watchdog has found the window and had a probe answered, so
// that a block starting now is counted from its next probe.
bool WaitForAnsweredProbe() {
    const LONG before = probesAnswered;
    for (int i = 0; i < 500 && probesAnswered == before; ++i) {
        PumpMessages();
        Sleep(10);
    }
    return probesAnswered != before;
}

class CrashWatchdogWine : public ::testing::Test {
protected:
    void SetUp() override {
        SetActiveCrashModules(&modules);
        CurrentCrashLogOptions().SetFreezeCheck(true);
        DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &mainThread,
                        THREAD_SUSPEND_RESUME | THREAD_GET_CONTEXT | THREAD_QUERY_INFORMATION, FALSE, 0);
        ASSERT_NE(mainThread, nullptr);
        window = CreateProbedWindow();
        ASSERT_NE(window, nullptr);
    }

    void TearDown() override {
        watchdog.reset();
        if (IsWindow(window)) DestroyWindow(window);
        CloseHandle(mainThread);
        SetActiveCrashModules(nullptr);
    }

    void StartWatchdog(std::int32_t freezeTimeout) {
        CurrentCrashLogOptions().SetFreezeTimeout(freezeTimeout);
        // The used part of the stack is one committed region ending at its top.
        MEMORY_BASIC_INFORMATION region{};
        VirtualQuery(&region, &region, sizeof region);
        const CrashAddress stackTop = reinterpret_cast<CrashAddress>(region.BaseAddress) + region.RegionSize;
        watchdog = std::make_unique<TFreezeWatchdog>(mainThread, stackTop, [this](const TFrozenThreadReport& report) {
            // The main thread is suspended here: its stack is still as frozen.
            TCrashStackList stack = modules.BuildCallStack(report.Address, report.StackPointer, report.StackTop);
            std::lock_guard<std::mutex> lock(guard);
            messages.push_back(report.Exception.Message);
            stacks.push_back(std::move(stack));
        });
        watchdog->Start();
        ASSERT_TRUE(watchdog->Running());
    }

    // Blocks the window's thread, then, while the window lives, sees it
    // answer again (the report resumed the thread) before the watchdog stops.
    std::size_t ReportsAfterBlocking(DWORD milliseconds) {
        BlockedInKnownPlace(milliseconds);
        if (IsWindow(window)) {
            EXPECT_TRUE(WaitForAnsweredProbe());
        }
        watchdog->Stop();
        std::lock_guard<std::mutex> lock(guard);
        return stacks.size();
    }

    Win32ModulesList modules;
    HANDLE mainThread = nullptr;
    HWND window = nullptr;
    std::unique_ptr<TFreezeWatchdog> watchdog;
    std::mutex guard;
    std::vector<std::string> messages;
    std::vector<TCrashStackList> stacks;
};

TEST_F(CrashWatchdogWine, FreezeBeyondTheTimeoutIsReportedOnceWithTheFrozenStack) {
    StartWatchdog(2);
    ASSERT_TRUE(WaitForAnsweredProbe());
    ASSERT_EQ(ReportsAfterBlocking(3000), 1u);
    EXPECT_EQ(messages[0], CurrentCrashLogOptions().FreezeMessage());
    EXPECT_FALSE(messages[0].empty());

    const TCrashStackList& stack = stacks[0];
    bool blockedFunctionShown = false;
    for (const TCrashDebugInfo& entry : stack)
        blockedFunctionShown = blockedFunctionShown ||
                               (entry.Kind == dkSourceLine && entry.ProcedureName == "BlockedInKnownPlace" &&
                                entry.UnitName == "crash_watchdog_wine_test.cpp");
    EXPECT_TRUE(blockedFunctionShown);
}

TEST_F(CrashWatchdogWine, BlockShorterThanTheTimeoutIsNotReported) {
    StartWatchdog(2);
    ASSERT_TRUE(WaitForAnsweredProbe());
    EXPECT_EQ(ReportsAfterBlocking(1000), 0u);
}

TEST_F(CrashWatchdogWine, FreezeLastingSeveralTimeoutsIsReportedAgainAfterEach) {
    StartWatchdog(1);
    ASSERT_TRUE(WaitForAnsweredProbe());
    const std::size_t reports = ReportsAfterBlocking(3500);
    EXPECT_GE(reports, 2u);
    EXPECT_LE(reports, 3u);
}

TEST_F(CrashWatchdogWine, DestroyedWindowIsNoLongerCounted) {
    StartWatchdog(2);
    ASSERT_TRUE(WaitForAnsweredProbe());
    DestroyWindow(window);
    EXPECT_EQ(ReportsAfterBlocking(3000), 0u);
}

TEST_F(CrashWatchdogWine, ZeroOrNegativeTimeoutNeverReports) {
    for (std::int32_t timeout : {0, -1}) {
        StartWatchdog(timeout);
        // Neither an answering window nor a blocked one may count as frozen.
        for (int i = 0; i < 100; ++i) {
            PumpMessages();
            Sleep(10);
        }
        BlockedInKnownPlace(1500);
        watchdog->Stop();
        EXPECT_TRUE(stacks.empty()) << timeout;
    }
}

TEST_F(CrashWatchdogWine, OwnOptionsSwitchStartsAndStopsTheWatchdog) {
    TFreezeWatchdog switched(mainThread, 0, [](const TFrozenThreadReport&) {});
    Win32CrashOptionsEnvironment environment;
    environment.SetFreezeWatchdog([&](bool run) { switched.Switch(run); });
    TCrashModuleOptionsEx own("own", false, &environment);
    environment.SetOwnModuleOptions(&own);

    own.SetActive(false);
    own.SetFreezeCheck(true);
    EXPECT_FALSE(switched.Running());  // not active
    own.SetActive(true);
    EXPECT_TRUE(switched.Running());
    own.SetFreezeCheck(false);
    EXPECT_FALSE(switched.Running());
    own.SetFreezeCheck(true);
    EXPECT_TRUE(switched.Running());
    own.SetActive(false);
    EXPECT_FALSE(switched.Running());

    // The facility's own options decide whether there is anything to watch.
    CurrentCrashLogOptions().SetFreezeCheck(false);
    own.SetActive(true);
    EXPECT_FALSE(switched.Running());
}

}  // namespace
}  // namespace brenvik
