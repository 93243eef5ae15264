#include "crash/intercept/Crashlog.h"

#include <cstring>

#include "crash/hook/Hooks.h"
#include "crash/intercept/RaiseRecord.h"
#include "crash/intercept/UnhandledExceptions.h"
#include "crash/win32/Win32CrashModules.h"

namespace brenvik {
namespace {

TCrashlog* activeFacility = nullptr;

std::string CurrentDirectory() {
    char path[MAX_PATH] = {};
    const DWORD length = GetCurrentDirectoryA(MAX_PATH, path);
    return length > 0 && length < MAX_PATH ? std::string(path, length) : std::string();
}

std::string LastCommandLineParameter(const CrashSystemInfo& system) {
    const std::vector<std::string> parameters = system.CommandLineParameters();
    return parameters.empty() ? std::string() : parameters.back();
}

std::string SectionName(HMODULE module, const char* kind) {
    std::string name = PublishedOptionsSectionName(GetCurrentProcessId(), module);
    return name.substr(0, name.size() - std::strlen("MODULE")) + kind;
}

void AppendLengthPrefixed(std::string& block, const std::string& text) {
    const auto length = static_cast<std::uint32_t>(text.size());
    block.append(reinterpret_cast<const char*>(&length), sizeof length);
    block += text;
}

HANDLE DuplicateCurrentThread() {
    HANDLE handle = nullptr;
    DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &handle,
                    THREAD_SUSPEND_RESUME | THREAD_GET_CONTEXT | THREAD_QUERY_INFORMATION, FALSE, 0);
    return handle;
}

}  // namespace

TCrashlog* TCrashlog::Active() { return activeFacility; }

TCrashlog::TCrashlog()
    : Trace(ModuleFileName(CrashFacilityModule()), [this] { return System.Now(); }),
      Failures(Trace, Memory),
      WebSystem(CrashFacilityModule()),
      WebPage(WebSystem, Failures),
      MainThreadId(GetCurrentThreadId()),
      MainStackTop(CurrentStackTop()),
      MainSlot(GetCurrentThreadId()),
      exceptSection_(SectionName(CrashFacilityModule(), "EXCEPT")),
      safecallSection_("CRASHLOG_SAFECALLS_LIST") {
    Trace.ConfigureAtStart(false, LastCommandLineParameter(System));
    if (IsDebuggerPresent()) Trace.EnableForDebugger();
    // The environment has published its "MODULE" section already.
    exceptSection_.Publish(std::string(1, '\0'));
    StartDirectory = CurrentDirectory();

    SetActiveCrashEnvironment(&Environment);
    Modules = std::make_unique<Win32ModulesList>();
}

bool TCrashlog::HasDebugInfo() {
    const TCrashModuleInfo* own = Modules->ByHandle(CrashFacilityModule());
    return own && own->DebugInfo;
}

void TCrashlog::Start() {
    SetActiveCrashModules(Modules.get());
    Environment.SetOwnModuleOptions(&OwnOptions());
    ReportHost.StartTime = System.Now();
    ReportHost.InteractiveGui = IsInteractiveWindowedProgram(TReportHost{WebSystem, WebPage, IntraWeb});
    safecallSection_.Publish(std::string(1, '\0'));
    Failures.Hooks().DebugOutput = [](const std::string& line) { OutputDebugStringA(line.c_str()); };
    Failures.Hooks().MessageBox = [](const std::string& text, const std::string& caption, std::uint32_t flags) {
        return MessageBoxA(nullptr, text.c_str(), caption.c_str(), flags);
    };
    activeFacility = this;

    InstallRaiseCapture([this](const TRaiseRecord& record) {
        if (record.Language) PublishRaisedException(*this, record.Description);
    });
    InstallUnhandledHandlers();
    HookThreadFunctions(Threads);
    HookServerExtensionEntry(*this);

    MainThread = DuplicateCurrentThread();
    Watchdog = std::make_unique<TFreezeWatchdog>(MainThread, MainStackTop, ReportFrozenApplication);
    Environment.SetFreezeWatchdog([this](bool run) { Watchdog->Switch(run); });
    Watchdog->Start();
}

TCrashlog::~TCrashlog() {
    SetActiveCrashEnvironment(nullptr);
    if (activeFacility != this) return;
    Environment.SetFreezeWatchdog(nullptr);
    Watchdog.reset();
    if (MainThread) CloseHandle(MainThread);
    UnhookThreadFunctions();
    RemoveUnhandledHandlers();
    RemoveRaiseCapture();
    UnhookAll();
    activeFacility = nullptr;
    SetActiveCrashModules(nullptr);
    Trace.Save();
}

void PublishRaisedException(TCrashlog& facility, const TRaisedObject& object) {
    std::string block(1, '\1');
    AppendLengthPrefixed(block, object.Known ? object.ClassName : "Unknown exception type.");
    AppendLengthPrefixed(block, object.Message.value_or("Unknown error message."));
    facility.exceptSection_.Publish(block);
}

namespace {
// Owned by the program's TCrashlogUnit.
std::unique_ptr<TCrashlog> runningFacility;
}  // namespace

TCrashlogUnit::TCrashlogUnit() {
    runningFacility = std::make_unique<TCrashlog>();
    // Without debug information of its own module the facility stays inactive.
    if (runningFacility->HasDebugInfo())
        runningFacility->Start();
    else
        runningFacility.reset();
}

TCrashlogUnit::~TCrashlogUnit() { runningFacility.reset(); }

void TCrashlogUnit::EndInitialization() {
    if (runningFacility) runningFacility->InitializationPhase = false;
}

void TCrashlogUnit::BeginFinalization() {
    if (runningFacility) runningFacility->FinalizationPhase = true;
}

}  // namespace brenvik
