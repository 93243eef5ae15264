// Start-up of the real Brenvik.exe under Wine, warm prefix: from creating the
// process to its main window on the screen with the title band's text drawn.
//
// usage: startup_bench [--runs N]     (Brenvik.exe is taken from beside this program)
// Prints the run times on a '#' line, then "startup_ms <median>".

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "Measure.h"
#include "WindowProbe.h"

namespace {

const wchar_t kMainClass[] = L"TFormMain4D643DD6BD8E447C9291EEDF0A10BE65";
// The description label of the title band, in client coordinates: dark once its text is drawn.
constexpr RECT kDescription = {11, 11, 347, 57};
constexpr int kDrawnTextPixels = 200;
constexpr DWORD kRunLimitMs = 30000;

[[noreturn]] void Fail(const char* why) {
    std::fprintf(stderr, "startup_bench: %s\n", why);
    std::exit(1);
}

std::wstring BrenvikPath() {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path = self;
    return path.substr(0, path.find_last_of(L"\\/") + 1) + L"Brenvik.exe";
}

struct Search {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK MatchMain(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    wchar_t name[64];
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == search->pid && GetClassNameW(hwnd, name, 64) && std::wcscmp(name, kMainClass) == 0) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

// The main window of `pid` once it is visible and its title band is drawn; null until then.
HWND PaintedMainWindow(DWORD pid) {
    Search search{pid, nullptr};
    EnumWindows(MatchMain, reinterpret_cast<LPARAM>(&search));
    if (!search.found || !IsWindowVisible(search.found)) return nullptr;
    return SummarizeClientArea(search.found, kDescription).dark >= kDrawnTextPixels ? search.found : nullptr;
}

struct Started {
    PROCESS_INFORMATION process;
    HWND window;
    double milliseconds;
};

Started StartUntilPainted(const std::wstring& program) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::wstring commandLine = L"\"" + program + L"\"";
    LARGE_INTEGER frequency, start, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        Fail("cannot start Brenvik.exe");
    for (;;) {
        QueryPerformanceCounter(&now);
        const double ms = 1000.0 * static_cast<double>(now.QuadPart - start.QuadPart) / frequency.QuadPart;
        if (HWND window = PaintedMainWindow(process.dwProcessId)) return {process, window, ms};
        if (ms > kRunLimitMs) Fail("the main window was not painted in time");
        Sleep(1);
    }
}

void CloseAndWait(const Started& started) {
    PostMessageW(started.window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(started.process.hProcess, kRunLimitMs) != WAIT_OBJECT_0) Fail("Brenvik did not end");
    CloseHandle(started.process.hThread);
    CloseHandle(started.process.hProcess);
}

}  // namespace

int main(int argc, char** argv) {
    int runs = 10;
    if (argc == 3 && std::strcmp(argv[1], "--runs") == 0) runs = std::atoi(argv[2]);
    const std::wstring program = BrenvikPath();

    CloseAndWait(StartUntilPainted(program));  // warms the prefix and the file cache, not counted
    std::vector<double> times;
    std::printf("# startup_ms, per run:");
    for (int i = 0; i < runs; ++i) {
        Started started = StartUntilPainted(program);
        times.push_back(started.milliseconds);
        std::printf(" %.0f", started.milliseconds);
        CloseAndWait(started);
    }
    std::printf("\nstartup_ms %.0f\n", Median(times));
    std::fflush(stdout);
    return 0;
}
