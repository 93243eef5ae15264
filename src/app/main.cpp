#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include <memory>

#include "app/CommandLine.h"
#include "app/TFormMain.h"
#include "app/Texts.h"
#include "crash/delivery/StandardReportSteps.h"
#include "crash/intercept/Crashlog.h"
#include "crash/intercept/UnhandledExceptions.h"
#include "platform/Cp1250.h"
#include "ui/frame/TMarkupLabelControl.h"
#include "ui/frame/TPreviousInstance.h"
#include "ui/toolkit/TApplication.h"

namespace {

std::vector<std::string> Arguments() {
    int count = 0;
    LPWSTR* words = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int i = 1; i < count; ++i) arguments.push_back(brenvik::Cp1250FromWide(words[i]));
    LocalFree(words);
    return arguments;
}

int RunProgram() {
    using namespace brenvik;
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_UPDOWN_CLASS};
    InitCommonControlsEx(&controls);

    TApplication& application = TApplication::Instance();
    application.ExceptionHook = ExceptionManager;
    application.Initialize();
    RegisterFrameControls();
    // Named after the executable, so it runs before the program's own title is set.
    TPreviousInstance previousInstance;
    previousInstance.Detect(application.Handle());
    application.SetTitle(LoadText(kTextAppTitle));

    // Settings that cannot be read are reported by the form's creation, which goes on.
    auto mainWindow = std::make_unique<TFormMain4D643DD6BD8E447C9291EEDF0A10BE65>(nullptr);
    mainWindow->AfterConstruction();
    if (HasTraySwitch(Arguments())) {
        application.ShowMainForm = false;
        ShowWindow(application.Handle(), SW_HIDE);
    }
    application.Run();
    try {
        mainWindow->BeforeDestruction();
    } catch (...) {
        application.HandleException(std::current_exception());
    }
    return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // The crash-report facility is the first thing the program starts and the
    // last it stops, so it sees the exceptions of everything in between.
    brenvik::TCrashlogUnit crashlog;
    if (brenvik::TCrashlog* facility = brenvik::TCrashlog::Active()) brenvik::InstallStandardReportSteps(*facility);
    crashlog.EndInitialization();
    const int exitCode = RunProgram();
    crashlog.BeginFinalization();
    return exitCode;
}
