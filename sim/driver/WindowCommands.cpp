#include "WindowCommands.h"

#include <cstdio>
#include <cstdlib>

#include "UiLookup.h"
#include "WindowProbe.h"

namespace {

constexpr DWORD kHintSettleMs = 300;

// The hint panel is the main window's only child 38 design pixels high (the
// window scales its design with the screen's DPI): found by its size, since
// the panel has neither text nor an id to look for.
constexpr LONG kHintPanelHeight = 38;

LONG HintPanelHeight()
{
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return MulDiv(kHintPanelHeight, dpi, 96);
}

struct HintPanelSearch {
    HWND main;
    HWND found;
};

BOOL CALLBACK MatchHintPanel(HWND hwnd, LPARAM param)
{
    auto* search = reinterpret_cast<HintPanelSearch*>(param);
    RECT r{};
    GetWindowRect(hwnd, &r);
    if (GetParent(hwnd) == search->main && IsWindowVisible(hwnd) && r.bottom - r.top == HintPanelHeight()) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

HWND HintPanel(HWND main)
{
    HintPanelSearch search{main, nullptr};
    EnumChildWindows(main, MatchHintPanel, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Client coordinates of the visible hint panel; an empty rectangle when it is hidden.
RECT HintPanelArea(HWND main)
{
    RECT r{};
    HWND panel = HintPanel(main);
    if (!panel)
        return r;
    GetWindowRect(panel, &r);
    MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

bool HasClass(HWND hwnd, const wchar_t* name)
{
    wchar_t found[64];
    const int n = GetClassNameW(hwnd, found, 64);
    return n > 0 && _wcsicmp(std::wstring(found, n).c_str(), name) == 0;
}

// What the user takes a control for: "check", "button", "spin" (the code length),
// "pick" (the port list, its edit included) or its class name.
std::string ControlKind(HWND control)
{
    const LONG style = GetWindowLongW(control, GWL_STYLE);
    if (HasClass(control, L"Button") && (style & BS_TYPEMASK) == BS_CHECKBOX)
        return "check";
    if (HasClass(control, L"Button") && (style & BS_TYPEMASK) == BS_PUSHBUTTON)
        return "button";
    if (HasClass(control, L"ComboBox") || (HasClass(control, L"Edit") && HasClass(GetParent(control), L"ComboBox")))
        return "pick";
    if (HasClass(control, L"Edit") && (style & ES_NUMBER))
        return "spin";
    wchar_t name[64];
    const int n = GetClassNameW(control, name, 64);
    return ToUtf8(std::wstring(name, n > 0 ? n : 0));
}

BOOL CALLBACK CollectChild(HWND hwnd, LPARAM param)
{
    reinterpret_cast<std::vector<HWND>*>(param)->push_back(hwnd);
    return TRUE;
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

BOOL CALLBACK PrintTooltip(HWND hwnd, LPARAM)
{
    if (IsWindowVisible(hwnd) && HasClass(hwnd, L"tooltips_class32"))
        PrintLine("tooltip ", ControlText(hwnd).value_or(L"?"));
    return TRUE;
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

}  // namespace

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
    char styles[40];
    std::snprintf(styles, sizeof styles, "style %08lx %08lx", static_cast<unsigned long>(GetWindowLongW(main, GWL_STYLE)),
                  static_cast<unsigned long>(GetWindowLongW(main, GWL_EXSTYLE)));
    PrintLine(styles);
    const RECT hint = HintPanelArea(main);
    if (hint.bottom > hint.top) {
        PrintRect("hint-panel ", hint);
        // The panel carries the plain text of the hint it shows.
        PrintLine("hint-text ", ControlText(HintPanel(main)).value_or(L"?"));
    }
    // The title band, the child at the client area's corner, carries the description.
    PrintLine("description ", ControlText(ChildWindowFromPoint(main, POINT{1, 1})).value_or(L"?"));
    PrintLine("x11 " + std::to_string(X11WindowOf(main)));
    POINT origin{0, 0};
    ClientToScreen(main, &origin);
    PrintLine("origin " + std::to_string(origin.x) + " " + std::to_string(origin.y));
    for (const auto& name : VisibleTopLevelClasses(ProcessOf(main)))
        PrintLine("shown ", name);
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
        const std::string kind = ControlKind(control);
        const std::string enabled = Flag(IsWindowEnabled(control));
        const std::wstring text = ControlText(control).value_or(L"?");
        if (kind == "check") {
            DWORD_PTR checked = 0;
            SendMessageTimeoutW(control, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, kAnswerMs, &checked);
            PrintLine("check " + Flag(checked == BST_CHECKED) + " " + enabled + " ", text);
        } else if (kind == "spin") {
            PrintLine("spin " + enabled + " ", text);
        } else if (kind == "pick" && HasClass(control, L"ComboBox")) {
            DWORD_PTR dropped = 0;
            SendMessageTimeoutW(control, CB_GETDROPPEDSTATE, 0, 0, SMTO_ABORTIFHUNG, kAnswerMs, &dropped);
            PrintLine("pick " + enabled + " " + Flag(dropped != 0) + " ", text);
        } else if (kind == "button") {
            RECT r{};
            GetWindowRect(control, &r);
            MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&r), 2);
            PrintLine("button " + RectText(r) + " ", text);
        }
    }
}

// The control with the keyboard focus in Brenvik's interface thread.
void PrintFocus(const Options& opt)
{
    HWND main = WaitForTopLevel(opt.windowClass, opt.timeoutMs);
    if (!AnswersMessages(main, kAnswerMs))
        Fail("Brenvik does not answer messages");
    GUITHREADINFO info{sizeof info};
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(main, nullptr), &info) || !info.hwndFocus) {
        PrintLine("focus none");
        return;
    }
    HWND focus = info.hwndFocus;
    // The port list's edit has the keyboard for the list: it is read as the list.
    if (HasClass(focus, L"Edit") && HasClass(GetParent(focus), L"ComboBox"))
        focus = GetParent(focus);
    PrintLine("focus " + ControlKind(focus) + " ", ControlText(focus).value_or(L"?"));
}

void PrintDialogFace(HWND box, bool withTexts)
{
    PrintLine("caption ", CaptionText(box));
    std::vector<HWND> children;
    EnumChildWindows(box, CollectChild, reinterpret_cast<LPARAM>(&children));
    for (HWND control : children) {
        if (!HasClass(control, L"Static") || !IsWindowVisible(control))
            continue;
        if ((GetWindowLongW(control, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
            PrintLine("icon " + IconKind(control));
        else if (const auto text = ControlText(control); withTexts && text && !text->empty())
            PrintLine("text ", *text);
    }
}

// The topmost dialog of Brenvik (a message box, the crash report, the About box):
// its caption, its texts and its icon, then a press of the button with the id.
void AnswerDialog(const Options& opt, int buttonId)
{
    const DWORD pid = ProcessOf(WaitForTopLevel(opt.windowClass, opt.timeoutMs));
    HWND box = nullptr;
    if (!WaitUntil(opt.timeoutMs, [&] { return (box = FindMessageBox(pid)) != nullptr; }))
        Fail("no dialog");
    PrintDialogFace(box, true);
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, buttonId)));
    if (!WaitUntil(opt.timeoutMs, [&] { return !IsWindow(box) || !IsWindowVisible(box); }))
        Fail("the dialog did not close");
}

void PrintInk(const Options& opt, const std::vector<std::wstring>& words, size_t first)
{
    HWND main = WaitForTopLevel(opt.windowClass, opt.timeoutMs);
    AnswersMessages(main, kAnswerMs);
    PrintSummary("ink ", SummarizeClientArea(main, ClientArea(words, first)));
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

// The texts of the tooltips shown now, whichever program shows them (the tray's is the shell's).
void PrintTooltips()
{
    EnumWindows(PrintTooltip, 0);
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

