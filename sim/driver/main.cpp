// brenvik-driver: plays the user of Brenvik's main window for end-to-end tests and the demo.
//
// usage: brenvik-driver [--class CLASS] [--button CAPTION] [--timeout-ms N] [--settle-ms N] COMMAND
//   wait-window | import | caption | close | close-class CLASS
//   state | controls | ink X Y W H | click CAPTION | hover X Y | hover-button CAPTION
//   popup | follow-import
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

#include "UiLookup.h"
#include "WindowProbe.h"

namespace {

constexpr DWORD kClickStartMs = 5000;
constexpr DWORD kPollMs = 10;
constexpr UINT kAnswerMs = 5000;
constexpr DWORD kHintSettleMs = 300;

struct Options {
    std::wstring windowClass = L"TFormMain4D643DD6BD8E447C9291EEDF0A10BE65";
    std::wstring buttonCaption = L"&Importuj";
    DWORD timeoutMs = 30000;
    DWORD settleMs = 0;
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

DWORD ProcessOf(HWND hwnd)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    return pid;
}

HWND WaitForButton(HWND parent, const std::wstring& caption, DWORD timeoutMs)
{
    HWND button = nullptr;
    if (!WaitUntil(timeoutMs, [&] { return (button = FindButton(parent, caption)) != nullptr; }))
        Fail("no button " + ToUtf8(caption));
    return button;
}

// Answers the import's message boxes until the import is over.
void FollowImport(HWND main, HWND button, const Options& opt)
{
    const DWORD pid = ProcessOf(main);
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

// The import runs inside Brenvik's click handler with the button disabled, and may show
// message boxes on the way; it is over once the button is enabled again with no box open.
void Import(const Options& opt)
{
    HWND main = WaitForTopLevel(opt.windowClass, opt.timeoutMs);
    HWND button = WaitForButton(main, opt.buttonCaption, opt.timeoutMs);
    const DWORD pid = ProcessOf(main);
    // A click into a running import or an open box would nest a second import.
    if (!WaitUntil(opt.timeoutMs, [&] { return IsWindowEnabled(button) && !FindMessageBox(pid); }))
        Fail("Brenvik is busy: button disabled or a message box open");

    // Posted: the handler blocks in modal boxes, a SendMessage would block the driver with it.
    PostMessageW(button, BM_CLICK, 0, 0);
    // If neither sign shows in time, the import was over before the first look.
    WaitUntil(kClickStartMs < opt.timeoutMs ? kClickStartMs : opt.timeoutMs,
              [&] { return !IsWindowEnabled(button) || FindMessageBox(pid); });
    FollowImport(main, button, opt);
}

// Answers the boxes of an import started some other way (the tray menu), until it is over.
void FollowImportStartedElsewhere(const Options& opt)
{
    HWND main = WaitForTopLevel(opt.windowClass, opt.timeoutMs);
    HWND button = WaitForButton(main, opt.buttonCaption, opt.timeoutMs);
    const DWORD pid = ProcessOf(main);
    if (!WaitUntil(opt.timeoutMs, [&] { return !IsWindowEnabled(button) || FindMessageBox(pid); }))
        Fail("no import started");
    FollowImport(main, button, opt);
}

std::string Flag(bool value) { return value ? "1" : "0"; }

std::string RectText(const RECT& r)
{
    return std::to_string(r.left) + " " + std::to_string(r.top) + " " + std::to_string(r.right) + " " +
           std::to_string(r.bottom);
}

void PrintRect(const std::string& prefix, const RECT& r) { PrintLine(prefix + RectText(r)); }

// The hint panel is the main window's only 38-pixel-high child: found by its
// size, since the panel has neither text nor an id to look for.
constexpr LONG kHintPanelHeight = 38;

struct HintPanelSearch {
    HWND main;
    HWND found;
};

BOOL CALLBACK MatchHintPanel(HWND hwnd, LPARAM param)
{
    auto* search = reinterpret_cast<HintPanelSearch*>(param);
    RECT r{};
    GetWindowRect(hwnd, &r);
    if (GetParent(hwnd) == search->main && IsWindowVisible(hwnd) && r.bottom - r.top == kHintPanelHeight) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

// Client coordinates of the visible hint panel; an empty rectangle when it is hidden.
RECT HintPanelArea(HWND main)
{
    HintPanelSearch search{main, nullptr};
    EnumChildWindows(main, MatchHintPanel, reinterpret_cast<LPARAM>(&search));
    RECT r{};
    if (!search.found)
        return r;
    GetWindowRect(search.found, &r);
    MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// The main window once its message loop runs; with --settle-ms, also waits that long for it
// to become visible, since the loop shows it only when it starts.
void PrintState(const Options& opt)
{
    HWND main = WaitForTopLevel(opt.windowClass, opt.timeoutMs);
    if (!AnswersMessages(main, kAnswerMs))
        Fail("Brenvik does not answer messages");
    WaitUntil(opt.settleMs, [&] { return IsWindowVisible(main) != FALSE; });
    RECT window{}, client{};
    GetWindowRect(main, &window);
    GetClientRect(main, &client);
    PrintLine("visible " + Flag(IsWindowVisible(main)));
    PrintRect("window ", window);
    PrintLine("client " + std::to_string(client.right) + " " + std::to_string(client.bottom));
    const RECT hint = HintPanelArea(main);
    if (hint.bottom > hint.top)
        PrintRect("hint-panel ", hint);
    for (const auto& name : VisibleTopLevelClasses(ProcessOf(main)))
        PrintLine("shown ", name);
}

BOOL CALLBACK CollectChild(HWND hwnd, LPARAM param)
{
    reinterpret_cast<std::vector<HWND>*>(param)->push_back(hwnd);
    return TRUE;
}

// Check boxes, the code-length spin edit and the port pick list, with their states.
void PrintControls(const Options& opt)
{
    HWND main = WaitForTopLevel(opt.windowClass, opt.timeoutMs);
    if (!AnswersMessages(main, kAnswerMs))
        Fail("Brenvik does not answer messages");
    std::vector<HWND> children;
    EnumChildWindows(main, CollectChild, reinterpret_cast<LPARAM>(&children));
    for (HWND control : children) {
        wchar_t name[64];
        const int n = GetClassNameW(control, name, 64);
        const std::wstring kind(name, n > 0 ? n : 0);
        const LONG style = GetWindowLongW(control, GWL_STYLE);
        const std::string enabled = Flag(IsWindowEnabled(control));
        const std::wstring text = ControlText(control).value_or(L"?");
        if (_wcsicmp(kind.c_str(), L"Button") == 0 && (style & BS_TYPEMASK) == BS_CHECKBOX) {
            DWORD_PTR checked = 0;
            SendMessageTimeoutW(control, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, kAnswerMs, &checked);
            PrintLine("check " + Flag(checked == BST_CHECKED) + " " + enabled + " ", text);
        } else if (_wcsicmp(kind.c_str(), L"Edit") == 0 && (style & ES_NUMBER)) {
            PrintLine("spin " + enabled + " ", text);
        } else if (_wcsicmp(kind.c_str(), L"ComboBox") == 0) {
            PrintLine("pick " + enabled + " ", text);
        } else if (_wcsicmp(kind.c_str(), L"Button") == 0 && (style & BS_TYPEMASK) == BS_PUSHBUTTON) {
            RECT r{};
            GetWindowRect(control, &r);
            MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&r), 2);
            PrintLine("button " + RectText(r) + " ", text);
        }
    }
}

RECT ClientArea(const std::vector<std::wstring>& words, size_t first)
{
    const LONG x = std::wcstol(words[first].c_str(), nullptr, 10), y = std::wcstol(words[first + 1].c_str(), nullptr, 10);
    return RECT{x, y, x + std::wcstol(words[first + 2].c_str(), nullptr, 10),
                y + std::wcstol(words[first + 3].c_str(), nullptr, 10)};
}

void PrintSummary(const std::string& prefix, const PixelSummary& summary)
{
    char hash[32];
    std::snprintf(hash, sizeof hash, "%016llx", static_cast<unsigned long long>(summary.hash));
    PrintLine(prefix + hash + " dark " + std::to_string(summary.dark) + " grey " + std::to_string(summary.grey));
}

void Click(const Options& opt, const std::wstring& caption)
{
    HWND main = WaitForTopLevel(opt.windowClass, opt.timeoutMs);
    HWND button = WaitForButton(main, caption, opt.timeoutMs);
    PostMessageW(button, BM_CLICK, 0, 0);
    if (!AnswersMessages(main, kAnswerMs))
        Fail("Brenvik does not answer messages after the click");
    PrintLine("clicked");
}

// The hint panel follows the mouse on the loop's idle pass and repaints later still:
// the area counts as settled once it has not changed for a while.
void HoverAndReadHint(const Options& opt, HWND main, POINT screen)
{
    SetCursorPos(screen.x, screen.y);
    const RECT area = HintPanelArea(main);
    if (area.bottom <= area.top)
        Fail("the hint panel is hidden");
    PixelSummary last = SummarizeClientArea(main, area);
    ULONGLONG stableSince = GetTickCount64();
    const ULONGLONG start = stableSince;
    while (GetTickCount64() - stableSince < kHintSettleMs) {
        if (GetTickCount64() - start >= opt.timeoutMs)
            Fail("the hint area never settled");
        Sleep(kPollMs);
        AnswersMessages(main, kAnswerMs);
        const PixelSummary now = SummarizeClientArea(main, area);
        if (now.hash != last.hash) {
            last = now;
            stableSince = GetTickCount64();
        }
    }
    PrintSummary("hint ", last);
}

void HoverAt(const Options& opt, LONG x, LONG y)
{
    HWND main = WaitForTopLevel(opt.windowClass, opt.timeoutMs);
    POINT point{x, y};
    ClientToScreen(main, &point);
    HoverAndReadHint(opt, main, point);
}

void HoverButton(const Options& opt, const std::wstring& caption)
{
    HWND main = WaitForTopLevel(opt.windowClass, opt.timeoutMs);
    RECT r{};
    GetWindowRect(WaitForButton(main, caption, opt.timeoutMs), &r);
    HoverAndReadHint(opt, main, POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
}

struct PopupSearch {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK MatchPopup(HWND hwnd, LPARAM param)
{
    auto* search = reinterpret_cast<PopupSearch*>(param);
    wchar_t name[16];
    const int n = GetClassNameW(hwnd, name, 16);
    if (ProcessOf(hwnd) == search->pid && IsWindowVisible(hwnd) && std::wstring(name, n > 0 ? n : 0) == L"#32768") {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

// The open popup menu of Brenvik, with its X11 window so a test can give it the keyboard.
void PrintPopup(const Options& opt)
{
    const DWORD pid = ProcessOf(WaitForTopLevel(opt.windowClass, opt.timeoutMs));
    PopupSearch search{pid, nullptr};
    if (!WaitUntil(opt.timeoutMs, [&] {
            search.found = nullptr;
            EnumWindows(MatchPopup, reinterpret_cast<LPARAM>(&search));
            return search.found != nullptr;
        }))
        Fail("no popup menu");
    RECT r{};
    GetWindowRect(search.found, &r);
    PrintRect("popup " + std::to_string(X11WindowOf(search.found)) + " ", r);
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
    if (name == L"close-class" || name == L"click" || name == L"hover-button")
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
                     "  state | controls | ink X Y W H | click CAPTION | hover X Y | hover-button CAPTION\n"
                     "  popup | follow-import\n");
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
    } else if (command == L"ink") {
        HWND main = WaitForTopLevel(opt.windowClass, opt.timeoutMs);
        AnswersMessages(main, kAnswerMs);
        PrintSummary("ink ", SummarizeClientArea(main, ClientArea(opt.command, 1)));
    } else if (command == L"click") {
        Click(opt, opt.command[1]);
    } else if (command == L"hover") {
        HoverAt(opt, std::wcstol(opt.command[1].c_str(), nullptr, 10), std::wcstol(opt.command[2].c_str(), nullptr, 10));
    } else if (command == L"hover-button") {
        HoverButton(opt, opt.command[1]);
    } else if (command == L"popup") {
        PrintPopup(opt);
    } else if (command == L"follow-import") {
        FollowImportStartedElsewhere(opt);
    } else {
        Fail("unknown command " + ToUtf8(command));
    }
    return 0;
}
