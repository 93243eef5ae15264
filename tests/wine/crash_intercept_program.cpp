// A windowed program carrying the crash-report facility, run once per
// scenario by crash_intercept_wine_test.cpp: `program SCENARIO OUTPUT_FOLDER`.
// The log goes to OUTPUT_FOLDER. Each scenario's expected outcome is the
// "// expect" line above it, which the test reads from this file:
// exit = the process's exit code, reports = entries in the log, stack = the
// procedures the first report's call stack must name, in that order, hide =
// a text no report may contain, line = a procedure whose call-stack row must
// carry the number of the source line its definition starts on.
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <exception>
#include <fstream>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "base/Exception.h"
#include "crash/delivery/StandardReportSteps.h"
#include "crash/intercept/Crashlog.h"
#include "crash/intercept/RaiseRecord.h"
#include "crash/intercept/UnhandledExceptions.h"
#include "crash/win32/Win32SharedSection.h"
#include "ui/toolkit/TApplication.h"
#include "ui/toolkit/TForm.h"
#include "ui/toolkit/TThread.h"

using namespace brenvik;

namespace {

constexpr UINT kRunHandler = WM_APP + 1;
std::string outputFolder;

__attribute__((noinline)) void ThrowFromDepth() { throw Exception("raised deep inside"); }

__attribute__((noinline)) void CallsThrowFromDepth() {
    ThrowFromDepth();
    std::puts("not reached");
}

// A form whose handler for kRunHandler runs the scenario's event handler.
class TScenarioForm : public TForm {
public:
    explicit TScenarioForm(std::function<void()> handler)
        : TForm(nullptr, "TScenarioForm"), handler_(std::move(handler)) {
        SetClientSize({300, 120});
        HandleNeeded();
    }

protected:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == kRunHandler) {
            handler_();
            return 0;
        }
        return TForm::WndProc(message, wParam, lParam);
    }

private:
    std::function<void()> handler_;
};

void PumpFor(DWORD milliseconds) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < milliseconds) {
        TApplication::Instance().ProcessMessages();
        Sleep(5);
    }
}

// Shows a form, runs `handler` from its window procedure, and pumps a while.
void RunHandlerInForm(const std::function<void()>& handler, const std::function<void(TScenarioForm&)>& prepare = {}) {
    TScenarioForm form(handler);
    form.Show();
    if (prepare) prepare(form);
    PostMessageW(form.Handle(), kRunHandler, 0, 0);
    PumpFor(300);
}

DWORD RunThreads(int count, LPTHREAD_START_ROUTINE routine) {
    HANDLE start = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::vector<HANDLE> threads;
    for (int i = 0; i < count; ++i) threads.push_back(CreateThread(nullptr, 0, routine, start, 0, nullptr));
    SetEvent(start);
    WaitForMultipleObjects(static_cast<DWORD>(threads.size()), threads.data(), TRUE, 60000);
    DWORD worst = 0;
    for (HANDLE thread : threads) {
        DWORD code = 0;
        GetExitCodeThread(thread, &code);
        worst = std::max(worst, code);
        CloseHandle(thread);
    }
    CloseHandle(start);
    return worst;
}

__attribute__((noinline)) DWORD WINAPI ThreadThrowsUnhandled(LPVOID start) {
    WaitForSingleObject(start, INFINITE);
    throw Exception("thread " + std::to_string(GetCurrentThreadId()) + " failed");
}

__attribute__((noinline)) DWORD WINAPI ThreadAborts(LPVOID) { throw EAbort(); }

class TFailingWorker : public TThread {
public:
    TFailingWorker() : TThread(true) {}

protected:
    __attribute__((noinline)) void Execute() override { WorkerFails(); }

private:
    __attribute__((noinline)) static void WorkerFails() { throw Exception("the worker failed"); }
};

// Through a pointer the compiler cannot see is null, so the write is really made.
int* volatile nullTarget = nullptr;
__attribute__((noinline)) void WriteToNull() { *nullTarget = 1; }

__attribute__((noinline)) void BlockMainThread(DWORD milliseconds) { Sleep(milliseconds); }

__attribute__((noinline)) void CallsTerminate() { std::terminate(); }
__attribute__((noinline)) void CallsAbort() { std::abort(); }

// A thread that waits for a call on the main thread while the main thread
// waits for a report, as a window fade does; done when the call came.
class TSynchronizingWorker : public TThread {
public:
    TSynchronizingWorker() : TThread(true) {}
    std::atomic<bool> Done{false};

protected:
    void Execute() override {
        for (int i = 0; i < 1000 && TCrashlog::Active()->Gate.ExceptionThread() == 0; ++i) Sleep(5);
        Synchronize([] {});
        Done = true;
    }
};

// Raises the program's own exception code and goes on after it, as a
// handler of its own would; true when the facility recorded that raise.
constexpr DWORD kOwnCodes = 0xE0000100;
LONG CALLBACK ContinueAfterOwnCodes(EXCEPTION_POINTERS* pointers) {
    const DWORD code = pointers->ExceptionRecord->ExceptionCode;
    return (code & 0xFFFFFF00) == kOwnCodes ? EXCEPTION_CONTINUE_EXECUTION : EXCEPTION_CONTINUE_SEARCH;
}

DWORD WINAPI RaiseOwnCodes(LPVOID start) {
    WaitForSingleObject(start, INFINITE);
    const DWORD code = kOwnCodes + (GetCurrentThreadId() & 0xFF);
    bool recorded = true;
    for (int i = 0; i < 50; ++i) {
        RaiseException(code, 0, 0, nullptr);
        recorded = recorded && ThreadRaiseRecord().Valid && ThreadRaiseRecord().Code == code;
        try {
            throw EConvertError("thread " + std::to_string(GetCurrentThreadId()));
        } catch (const EConvertError&) {
        }
    }
    return recorded ? 0 : 1;
}

// Each call keeps a frame that the next one cannot share.
volatile int recursionSink = 0;
__attribute__((noinline)) int RecurseForever(int depth) {
    if (recursionSink < 0) return 0;  // never: the stack runs out first
    volatile char frame[256];
    frame[depth % sizeof frame] = static_cast<char>(depth);
    recursionSink = RecurseForever(depth + 1) + frame[0];
    return recursionSink;
}

void WatchForFreezes() {
    CurrentCrashLogOptions().SetFreezeTimeout(2);
    CurrentCrashLogOptions().SetFreezeCheck(true);
}

void FreezeWithWindow(DWORD milliseconds) {
    WatchForFreezes();
    TScenarioForm form([] {});
    form.Show();
    SetForegroundWindow(form.Handle());
    PumpFor(500);
    BlockMainThread(milliseconds);
    PumpFor(500);
}

// FindWindow would ask every window for its text, and a window of the frozen
// main thread never answers: captions are read as stored.
struct DialogSearch {
    const wchar_t* Caption;
    HWND Found;
};

BOOL CALLBACK MatchDialog(HWND window, LPARAM parameter) {
    auto& search = *reinterpret_cast<DialogSearch*>(parameter);
    wchar_t kind[16] = {}, text[64] = {};
    GetClassNameW(window, kind, 16);
    InternalGetWindowText(window, text, 64);
    if (std::wcscmp(kind, L"#32770") != 0 || std::wcscmp(text, search.Caption) != 0) return TRUE;
    search.Found = window;
    return FALSE;
}

HWND FindDialogWithoutMessages(const wchar_t* caption) {
    DialogSearch search{caption, nullptr};
    EnumWindows(MatchDialog, reinterpret_cast<LPARAM>(&search));
    return search.Found;
}

// Waits for the exception dialog, checks its caption and that it shows the
// error message (any, without one), and presses OK (button 2); true when it
// came as expected.
bool AnswerExceptionDialog(const wchar_t* caption, const wchar_t* message = nullptr) {
    for (int i = 0; i < 500; ++i, Sleep(20)) {
        HWND dialog = FindDialogWithoutMessages(caption);
        if (!dialog || !IsWindowVisible(dialog)) continue;
        wchar_t shown[256] = {};
        GetDlgItemTextW(dialog, 101, shown, 256);
        PostMessageW(GetDlgItem(dialog, 2), BM_CLICK, 0, 0);
        return !message || std::wstring(shown) == message;
    }
    return false;
}

std::string PublishedExceptSection() {
    char name[48];
    std::snprintf(name, sizeof name, "%08lX%08llXEXCEPT", GetCurrentProcessId(),
                  static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(GetModuleHandleW(nullptr))));
    return ReadSharedSection(name).value_or("");
}

bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

int RunScenario(const std::string& scenario) {
    // expect rethrown: exit=0 reports=1 stack=ThrowFromDepth,CallsThrowFromDepth line=ThrowFromDepth
    if (scenario == "rethrown") {
        RunHandlerInForm([] {
            try {
                CallsThrowFromDepth();
            } catch (...) {
                throw;
            }
        });
        return 0;
    }
    // expect caught: exit=0 reports=0
    if (scenario == "caught") {
        RunHandlerInForm([] {
            try {
                CallsThrowFromDepth();
            } catch (const Exception&) {
            }
        });
        return 0;
    }
    // expect worker: exit=0 reports=1 stack=WorkerFails,Execute
    if (scenario == "worker") {
        TFailingWorker worker;
        worker.Start();
        return worker.WaitFor() == 1 ? 0 : 3;
    }
    // expect thread_unhandled: exit=0 reports=1 stack=ThreadThrowsUnhandled
    if (scenario == "thread_unhandled") return RunThreads(1, ThreadThrowsUnhandled) == 1 ? 0 : 3;
    // expect four_threads: exit=0 reports=4 stack=ThreadThrowsUnhandled
    if (scenario == "four_threads") return RunThreads(4, ThreadThrowsUnhandled) == 1 ? 0 : 3;
    // expect dialog: exit=0 reports=1 stack=ThrowFromDepth
    if (scenario == "dialog") {
        CurrentCrashLogOptions().SetShowReport(true);
        bool answered = false;
        std::thread answer([&] { answered = AnswerExceptionDialog(L"Error.", L"raised deep inside."); });
        RunHandlerInForm([] { CallsThrowFromDepth(); });
        answer.join();
        return answered ? 0 : 6;
    }
    // expect mailed: exit=0 reports=1 mail=Scenario_report
    if (scenario == "mailed") {
        TCrashModuleOptionsEx& options = CurrentCrashLogOptions();
        options.SetSendMode(TCrashModuleOptions::kSendSmtpServer);
        options.SetSmtpServer("127.0.0.1");
        options.SetSmtpPort(25);
        options.SetSmtpFrom("scenario@brenvik.test");
        options.SetMailRecipients("support@brenvik.test");
        options.SetMailSubject("Scenario report");
        RunHandlerInForm([] { CallsThrowFromDepth(); });
        return 0;
    }
    // expect except_section: exit=0 reports=0
    if (scenario == "except_section") {
        try {
            throw EConvertError("kept for the other modules");
        } catch (const EConvertError&) {
        }
        const auto lengthPrefixed = [](const std::string& text) {
            const auto length = static_cast<std::uint32_t>(text.size());
            return std::string(reinterpret_cast<const char*>(&length), sizeof length) + text;
        };
        const std::string expected =
            "\1" + lengthPrefixed("brenvik::EConvertError") + lengthPrefixed("kept for the other modules");
        return PublishedExceptSection() == expected ? 0 : 7;
    }
    // expect abort: exit=0 reports=0
    if (scenario == "abort") return RunThreads(1, ThreadAborts) == 1 ? 0 : 3;
    // expect access_violation: exit=1 reports=1 stack=WriteToNull,RunScenario
    if (scenario == "access_violation") {
        WriteToNull();
        return 0;
    }
    // expect filtered: exit=0 reports=0
    if (scenario == "filtered") {
        CurrentCrashLogOptions().SetUseFilter(true);
        CurrentCrashLogOptions().FilterClasses().Add("EConvertError");
        CurrentCrashLogOptions().FilterMessages().Add("");
        bool toolkitHandlerRan = false;
        TApplication::Instance().OnException = [&](std::exception_ptr) { toolkitHandlerRan = true; };
        RunHandlerInForm([] { throw EConvertError("'x' is not a valid integer value"); });
        return toolkitHandlerRan ? 2 : 0;
    }
    // expect password: exit=0 reports=1 hide=hunter2
    if (scenario == "password") {
        RunHandlerInForm([] { throw Exception("failed with a password typed"); },
                         [](TScenarioForm& form) {
                             HWND edit = CreateWindowExW(0, L"EDIT", L"hunter2", WS_CHILD | WS_VISIBLE | ES_PASSWORD,
                                                         10, 10, 120, 24, form.Handle(), nullptr, nullptr, nullptr);
                             SetFocus(edit);
                         });
        return 0;
    }
    // expect restart: exit=1 reports=1
    if (scenario == "restart") {
        const std::string marker = outputFolder + "\\first-instance";
        if (FileExists(marker)) {
            std::ofstream(outputFolder + "\\second-instance") << GetCommandLineA();
            return 0;
        }
        std::ofstream(marker) << GetCommandLineA();
        CurrentCrashLogOptions().SetTerminateAction(1);
        TCrashlog::Active()->Notifications.Exception = [](TCrashExceptionRecord&, bool&) {
            RequestProgramTermination();
        };
        CallsThrowFromDepth();
        return 0;
    }
    // expect synchronize_during_report: exit=0 reports=1 stack=ThrowFromDepth
    if (scenario == "synchronize_during_report") {
        TSynchronizingWorker worker;
        worker.Start();
        RunHandlerInForm([] { CallsThrowFromDepth(); });
        PumpFor(500);
        return worker.Done ? 0 : 7;
    }
    // expect own_codes: exit=0 reports=0
    if (scenario == "own_codes") {
        PVOID handler = AddVectoredExceptionHandler(0, ContinueAfterOwnCodes);
        const DWORD worst = RunThreads(4, RaiseOwnCodes);
        RemoveVectoredExceptionHandler(handler);
        // Some thread's last throw, whole: a flag, then class and message, each length-prefixed.
        const std::string section = PublishedExceptSection();
        const std::string className = "brenvik::EConvertError";
        std::uint32_t classLength = 0, messageLength = 0;
        if (section.size() < 9 || section[0] != '\1') return 8;
        std::memcpy(&classLength, section.data() + 1, sizeof classLength);
        if (classLength != className.size() || section.compare(5, classLength, className) != 0) return 9;
        std::memcpy(&messageLength, section.data() + 5 + classLength, sizeof messageLength);
        const bool whole = section.size() == 9 + classLength + messageLength &&
                           section.compare(9 + classLength, 7, "thread ") == 0;
        return worst == 0 && whole ? 0 : 10;
    }
    // expect terminate_call: exit=3 reports=1 stack=CallsTerminate
    if (scenario == "terminate_call") CallsTerminate();
    // expect abort_call: exit=3 reports=1 stack=CallsAbort
    if (scenario == "abort_call") CallsAbort();
    // expect stack_overflow: exit=3221225725 reports=1 stack=RecurseForever,RecurseForever,RecurseForever
    if (scenario == "stack_overflow") return RecurseForever(0);
    // expect exit_call: exit=7 reports=0
    if (scenario == "exit_call") std::exit(7);
    // expect exit_process: exit=8 reports=0
    if (scenario == "exit_process") ExitProcess(8);
    // expect freeze_long: exit=0 reports=1 stack=BlockMainThread,FreezeWithWindow
    if (scenario == "freeze_long") {
        FreezeWithWindow(3000);
        return 0;
    }
    // expect freeze_dialog: exit=0 reports=1 stack=BlockMainThread,FreezeWithWindow
    if (scenario == "freeze_dialog") {
        CurrentCrashLogOptions().SetShowReport(true);
        bool answered = false;
        std::thread answer([&] { answered = AnswerExceptionDialog(L"Error."); });
        FreezeWithWindow(3000);
        answer.join();
        return answered ? 0 : 6;
    }
    // expect freeze_short: exit=0 reports=0
    if (scenario == "freeze_short") {
        FreezeWithWindow(1000);
        return 0;
    }
    // expect freeze_closed: exit=0 reports=0
    if (scenario == "freeze_closed") {
        WatchForFreezes();
        {
            TScenarioForm form([] {});
            form.Show();
            PumpFor(500);
        }
        BlockMainThread(3000);
        return 0;
    }
    return 4;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    TCrashlogUnit crashlog;
    crashlog.EndInitialization();
    if (__argc < 3 || !TCrashlog::Active()) return 5;
    outputFolder = __argv[2];
    InstallStandardReportSteps(*TCrashlog::Active());
    TCrashModuleOptionsEx& options = CurrentCrashLogOptions();
    options.SetOutputPath(outputFolder);
    options.SetShowReport(false);
    options.SetSendMode(TCrashModuleOptions::kSendNone);
    options.SetReportFlags(0);  // every report is logged, repeated ones too
    TApplication& application = TApplication::Instance();
    application.ExceptionHook = ExceptionManager;
    application.Initialize();
    const int exitCode = RunScenario(__argv[1]);
    crashlog.BeginFinalization();
    return exitCode;
}
