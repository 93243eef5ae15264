// brenvik-driver: plays the user of Brenvik's main window for end-to-end tests and the demo.
//
// usage: brenvik-driver [--class CLASS] [--button CAPTION] [--timeout-ms N] [--settle-ms N] COMMAND
//   wait-window | import | caption | close | close-class CLASS
//   state | controls | focus | ink X Y W H | click CAPTION | hover X Y | hover-button CAPTION
//   popup | tooltips | follow-import | dialog BUTTON-ID | text-layout
// Coordinates are in the main window's client area.
// Results go to stdout as UTF-8 lines; failures to stderr with a non-zero exit code.

#include <windows.h>
#include <shellapi.h>
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "DriverBasics.h"
#include "ImportCommands.h"
#include "LayoutCommands.h"
#include "UiLookup.h"
#include "WindowCommands.h"

namespace {

bool ParseArgs(Options& opt)
{
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    for (int i = 1; i < argc; ++i) {
        const std::wstring arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == L"--class" && hasValue)
            opt.windowClass = argv[++i];
        else if (arg == L"--button" && hasValue)
            opt.buttonCaption = argv[++i];
        else if (arg == L"--timeout-ms" && hasValue)
            opt.timeoutMs = std::wcstoul(argv[++i], nullptr, 10);
        else if (arg == L"--settle-ms" && hasValue)
            opt.settleMs = std::wcstoul(argv[++i], nullptr, 10);
        else if (arg.rfind(L"--", 0) == 0)
            return false;
        else
            opt.command.push_back(arg);
    }
    LocalFree(argv);
    if (opt.command.empty())
        return false;
    const std::wstring& name = opt.command[0];
    size_t expectedWords = 1;
    if (name == L"close-class" || name == L"click" || name == L"hover-button" || name == L"dialog")
        expectedWords = 2;
    else if (name == L"hover")
        expectedWords = 3;
    else if (name == L"ink")
        expectedWords = 5;
    return opt.command.size() == expectedWords;
}

}  // namespace

int main()
{
    _setmode(_fileno(stdout), _O_BINARY);  // plain LF lines for the reading test
    Options opt;
    if (!ParseArgs(opt)) {
        std::fprintf(stderr,
                     "usage: brenvik-driver [--class CLASS] [--button CAPTION] [--timeout-ms N] [--settle-ms N] "
                     "COMMAND\n"
                     "  wait-window | import | caption | close | close-class CLASS\n"
                     "  state | controls | focus | ink X Y W H | click CAPTION | hover X Y | hover-button CAPTION\n"
                     "  popup | tooltips | follow-import | dialog BUTTON-ID | text-layout\n");
        return 2;
    }
    const std::wstring& command = opt.command[0];
    if (command == L"wait-window") {
        WaitForTopLevel(opt.windowClass, opt.timeoutMs);
        PrintLine("window");
    } else if (command == L"import") {
        Import(opt);
    } else if (command == L"caption") {
        PrintLine("caption: ", CaptionText(WaitForTopLevel(opt.windowClass, opt.timeoutMs)));
    } else if (command == L"close") {
        CloseAndWait(WaitForTopLevel(opt.windowClass, opt.timeoutMs), opt.timeoutMs);
        PrintLine("closed");
    } else if (command == L"close-class") {
        CloseAndWait(WaitForTopLevel(opt.command[1], opt.timeoutMs), opt.timeoutMs);
        PrintLine("closed");
    } else if (command == L"state") {
        PrintState(opt);
    } else if (command == L"controls") {
        PrintControls(opt);
    } else if (command == L"focus") {
        PrintFocus(opt);
    } else if (command == L"dialog") {
        AnswerDialog(opt, std::wcstol(opt.command[1].c_str(), nullptr, 10));
    } else if (command == L"ink") {
        PrintInk(opt, opt.command, 1);
    } else if (command == L"click") {
        Click(opt, opt.command[1]);
    } else if (command == L"hover") {
        HoverAt(opt, std::wcstol(opt.command[1].c_str(), nullptr, 10), std::wcstol(opt.command[2].c_str(), nullptr, 10));
    } else if (command == L"hover-button") {
        HoverButton(opt, opt.command[1]);
    } else if (command == L"tooltips") {
        PrintTooltips();
    } else if (command == L"popup") {
        PrintPopup(opt);
    } else if (command == L"follow-import") {
        FollowImportStartedElsewhere(opt);
    } else if (command == L"text-layout") {
        PrintTextLayout(opt);
    } else {
        Fail("unknown command " + ToUtf8(command));
    }
    return 0;
}
