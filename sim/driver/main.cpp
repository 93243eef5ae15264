// brenvik-driver: plays the user of Brenvik's main window for end-to-end tests and the demo.
//
// usage: brenvik-driver [--class CLASS] [--button CAPTION] [--timeout-ms N] COMMAND
//   wait-window | import | caption | close | close-class CLASS
// Results go to stdout as UTF-8 lines; failures to stderr with a non-zero exit code.

#include <windows.h>
#include <shellapi.h>
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "UiLookup.h"

namespace {

constexpr DWORD kClickStartMs = 5000;
constexpr DWORD kPollMs = 10;

struct Options {
    std::wstring windowClass = L"TFormMain4D643DD6BD8E447C9291EEDF0A10BE65";
    std::wstring buttonCaption = L"&Importuj";
    DWORD timeoutMs = 30000;
    std::vector<std::wstring> command;
};

[[noreturn]] void Fail(const std::string& why)
{
    std::fprintf(stderr, "brenvik-driver: %s\n", why.c_str());
    std::exit(1);
}

// One result per line, flushed at once so a calling test reads progress as it happens.
// Line breaks inside a text become the two characters "\n".
void PrintLine(const std::string& prefix, const std::wstring& text = {})
{
    std::string line = prefix;
    const std::string utf8 = ToUtf8(text);
    for (size_t i = 0; i < utf8.size(); ++i) {
        if (utf8[i] == '\r' && i + 1 < utf8.size() && utf8[i + 1] == '\n')
            continue;
        line += (utf8[i] == '\r' || utf8[i] == '\n') ? std::string("\\n") : std::string(1, utf8[i]);
    }
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fflush(stdout);
}

template <class Done>
bool WaitUntil(DWORD timeoutMs, Done done)
{
    const ULONGLONG start = GetTickCount64();
    while (!done()) {
        if (GetTickCount64() - start >= timeoutMs)
            return false;
        Sleep(kPollMs);
    }
    return true;
}

HWND WaitForTopLevel(const std::wstring& windowClass, DWORD timeoutMs)
{
    HWND hwnd = nullptr;
    if (!WaitUntil(timeoutMs, [&] { return (hwnd = FindWindowW(windowClass.c_str(), nullptr)) != nullptr; }))
        Fail("no window of class " + ToUtf8(windowClass));
    return hwnd;
}

void CloseAndWait(HWND hwnd, DWORD timeoutMs)
{
    PostMessageW(hwnd, WM_CLOSE, 0, 0);
    if (!WaitUntil(timeoutMs, [&] { return !IsWindow(hwnd); }))
        Fail("window still open after WM_CLOSE");
}

// The import runs inside Brenvik's click handler with the button disabled, and may show
// message boxes on the way; it is over once the button is enabled again with no box open.
void Import(const Options& opt)
{
    HWND main = WaitForTopLevel(opt.windowClass, opt.timeoutMs);
    HWND button = nullptr;
    if (!WaitUntil(opt.timeoutMs, [&] { return (button = FindButton(main, opt.buttonCaption)) != nullptr; }))
        Fail("no button " + ToUtf8(opt.buttonCaption));
    DWORD pid = 0;
    GetWindowThreadProcessId(main, &pid);
    // A click into a running import or an open box would nest a second import.
    if (!WaitUntil(opt.timeoutMs, [&] { return IsWindowEnabled(button) && !FindMessageBox(pid); }))
        Fail("Brenvik is busy: button disabled or a message box open");

    // Posted: the handler blocks in modal boxes, a SendMessage would block the driver with it.
    PostMessageW(button, BM_CLICK, 0, 0);
    // If neither sign shows in time, the import was over before the first look.
    WaitUntil(kClickStartMs < opt.timeoutMs ? kClickStartMs : opt.timeoutMs,
              [&] { return !IsWindowEnabled(button) || FindMessageBox(pid); });

    ULONGLONG lastProgress = GetTickCount64();
    for (;;) {
        if (!IsWindow(main))
            Fail("Brenvik's window disappeared during the import");
        if (GetTickCount64() - lastProgress >= opt.timeoutMs)
            Fail("import did not end");
        HWND box = FindMessageBox(pid);
        if (!box && IsWindowEnabled(button))
            break;
        // Unreadable means Brenvik's thread is busy: look again rather than print a blank.
        const auto text = box ? MessageBoxText(box) : std::nullopt;
        if (!text) {
            Sleep(kPollMs);
            continue;
        }
        PrintLine("message: ", *text);
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        if (!WaitUntil(opt.timeoutMs, [&] { return !IsWindow(box) || !IsWindowVisible(box); }))
            Fail("message box did not close");
        lastProgress = GetTickCount64();
    }
    PrintLine("done");
}

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
        else if (arg.rfind(L"--", 0) == 0)
            return false;
        else
            opt.command.push_back(arg);
    }
    LocalFree(argv);
    if (opt.command.empty())
        return false;
    const size_t expectedWords = opt.command[0] == L"close-class" ? 2 : 1;
    return opt.command.size() == expectedWords;
}

}  // namespace

int main()
{
    _setmode(_fileno(stdout), _O_BINARY);  // plain LF lines for the reading test
    Options opt;
    if (!ParseArgs(opt)) {
        std::fprintf(stderr,
                     "usage: brenvik-driver [--class CLASS] [--button CAPTION] [--timeout-ms N] COMMAND\n"
                     "  wait-window | import | caption | close | close-class CLASS\n");
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
    } else {
        Fail("unknown command " + ToUtf8(command));
    }
    return 0;
}
