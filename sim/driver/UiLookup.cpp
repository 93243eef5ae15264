#include "UiLookup.h"

namespace {

constexpr int kMessageBoxTextId = 0xFFFF;
constexpr UINT kReplyTimeoutMs = 2000;

std::wstring ClassName(HWND hwnd)
{
    wchar_t name[256];
    const int n = GetClassNameW(hwnd, name, 256);
    return std::wstring(name, n > 0 ? n : 0);
}

struct ButtonSearch {
    const std::wstring* caption;
    HWND found;
};

BOOL CALLBACK MatchButton(HWND hwnd, LPARAM param)
{
    auto* search = reinterpret_cast<ButtonSearch*>(param);
    if (_wcsicmp(ClassName(hwnd).c_str(), L"Button") == 0 && ControlText(hwnd) == *search->caption) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

struct BoxSearch {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK MatchBox(HWND hwnd, LPARAM param)
{
    auto* search = reinterpret_cast<BoxSearch*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == search->pid && IsWindowVisible(hwnd) && ClassName(hwnd) == L"#32770") {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

std::string ToUtf8(const std::wstring& text)
{
    if (text.empty())
        return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string out(size, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                        out.data(), size, nullptr, nullptr);
    return out;
}

std::wstring CaptionText(HWND hwnd)
{
    // Reads the stored caption without a message round trip, so it answers even while
    // Brenvik is busy in a transfer and not pumping messages.
    wchar_t text[1024];
    const int n = GetWindowTextW(hwnd, text, 1024);
    return std::wstring(text, n > 0 ? n : 0);
}

std::optional<std::wstring> ControlText(HWND hwnd)
{
    // WM_GETTEXT, not GetWindowTextW: Windows' GetWindowTextW returns nothing for controls of
    // other processes. A timeout keeps a hung Brenvik from blocking the driver.
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kReplyTimeoutMs, &length))
        return std::nullopt;
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                             SMTO_ABORTIFHUNG, kReplyTimeoutMs, &copied))
        return std::nullopt;
    text.resize(copied < length ? copied : length);
    return text;
}

HWND FindButton(HWND parent, const std::wstring& caption)
{
    ButtonSearch search{&caption, nullptr};
    EnumChildWindows(parent, MatchButton, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FindMessageBox(DWORD pid)
{
    // EnumWindows walks top-down in Z order, so a box stacked on another comes first.
    BoxSearch search{pid, nullptr};
    EnumWindows(MatchBox, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::optional<std::wstring> MessageBoxText(HWND box)
{
    HWND text = GetDlgItem(box, kMessageBoxTextId);
    return text ? ControlText(text) : std::nullopt;
}
