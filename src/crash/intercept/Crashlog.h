#pragma once
#include <windows.h>

#include <atomic>
#include <memory>
#include <string>

#include "crash/intercept/CrashNotifications.h"
#include "crash/intercept/ProcessingGate.h"
#include "crash/intercept/ReportSteps.h"
#include "crash/intercept/ThreadRecords.h"
#include "crash/report/CrashFailureLog.h"
#include "crash/report/CrashTrace.h"
#include "crash/watchdog/TFreezeWatchdog.h"
#include "crash/web/HostPresentation.h"
#include "crash/win32/Win32WebHost.h"
#include "crash/win32/Win32CrashModule.h"
#include "crash/win32/Win32CrashModules.h"
#include "crash/win32/Win32ModulesList.h"
#include "crash/win32/Win32ProcessMemory.h"
#include "crash/win32/Win32SystemInfo.h"

namespace brenvik {

// The crash-report facility's process-wide state, alive from its start-up to
// its shutdown while the own module carries debug information.
class TCrashlog {
public:
    // The running facility; none while it is inactive.
    static TCrashlog* Active();

    // The environment, sections and modules list; Start installs the rest.
    TCrashlog();
    ~TCrashlog();
    bool HasDebugInfo();
    void Start();
    TCrashlog(const TCrashlog&) = delete;
    TCrashlog& operator=(const TCrashlog&) = delete;

    TCrashModuleOptionsEx& OwnOptions() { return CurrentCrashLogOptions(); }
    bool IsMainThread() const { return GetCurrentThreadId() == MainThreadId; }

    Win32CrashOptionsEnvironment Environment;
    std::unique_ptr<Win32ModulesList> Modules;
    Win32ProcessMemory Memory;
    Win32SystemInfo System;
    TCrashTrace Trace;
    TCrashFailureLog Failures;
    TCrashReportHost ReportHost;
    TWin32WebHost WebSystem;
    TWebErrorPage WebPage;
    TIntraWebHooks IntraWeb;

    DWORD MainThreadId;
    HANDLE MainThread = nullptr;  // duplicate handle, for the freeze watchdog
    CrashAddress MainStackTop;
    std::string StartDirectory;
    std::atomic<bool> InitializationPhase{true};
    std::atomic<bool> FinalizationPhase{false};

    TProcessingGate Gate;
    TMainThreadSlot MainSlot;
    TThreadRecords Threads;
    std::atomic<int> ErrorCount{0};
    std::atomic<bool> TerminateRequested{false};

    TCrashNotificationHandlers Notifications;
    TReportSteps Steps;
    std::unique_ptr<TFreezeWatchdog> Watchdog;

private:
    Win32SharedSection exceptSection_;
    Win32SharedSection safecallSection_;
    friend void PublishRaisedException(TCrashlog& facility, const TRaisedObject& object);
};

// Writes the class name and message of a raise into the own module's section.
void PublishRaisedException(TCrashlog& facility, const TRaisedObject& object);

// Start-up and shutdown of the facility. The program makes one as the very
// first thing it does and destroys it as the very last, so the facility sees
// every exception of the toolkit and of the program's own code.
class TCrashlogUnit {
public:
    TCrashlogUnit();
    ~TCrashlogUnit();
    TCrashlogUnit(const TCrashlogUnit&) = delete;
    TCrashlogUnit& operator=(const TCrashlogUnit&) = delete;

    // The program's own start-up is over / its shutdown begins.
    void EndInitialization();
    void BeginFinalization();
};

}  // namespace brenvik
