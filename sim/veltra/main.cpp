// veltra-sim: stands in for the Veltra II main window in end-to-end tests and
// the demo. Records the codes Brenvik types into it (message 1034).
//
// usage: veltra-sim --out FILE [--second-class] [--log FILE] [--ready FILE] [--close-after N]
// With --close-after it closes its window once N codes have arrived, as a
// user closing Veltra II in the middle of an import would.

#include <windows.h>
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "CodeRecorder.h"

namespace {

constexpr UINT kCodeMessage = WM_USER + 10;  // 1034
constexpr char kClassName[] = "TMain865D2C3C09434DF4AFA2EDF18B0423EA";
constexpr char kSecondClassName[] = "TMain865D2C3C09434DF4AFA2EDF18B0423EB";

struct Options {
    std::string out;
    std::string log;
    std::string ready;
    bool secondClass = false;
    long closeAfter = -1;
};

Options g_options;

CodeRecorder g_recorder;

bool ParseArgs(int argc, char** argv, Options& opt)
{
    for (int i = 1; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (!std::strcmp(argv[i], "--second-class"))
            opt.secondClass = true;
        else if (!std::strcmp(argv[i], "--out") && hasValue)
            opt.out = argv[++i];
        else if (!std::strcmp(argv[i], "--log") && hasValue)
            opt.log = argv[++i];
        else if (!std::strcmp(argv[i], "--ready") && hasValue)
            opt.ready = argv[++i];
        else if (!std::strcmp(argv[i], "--close-after") && hasValue)
            opt.closeAfter = std::strtol(argv[++i], nullptr, 10);
        else
            return false;
    }
    return !opt.out.empty();
}

void PaintStatus(HWND hwnd)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    char count[64];
    const int n = std::snprintf(count, sizeof count, "Kody: %lu",
                                static_cast<unsigned long>(g_recorder.CodeCount()));
    TextOutA(dc, 10, 10, count, n);
    const std::string last = "Ostatni: " + g_recorder.LastCodeLine();
    TextOutA(dc, 10, 30, last.c_str(), static_cast<int>(last.size()));
    EndPaint(hwnd, &ps);
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case kCodeMessage:
        // Painting is deferred (invalidate only) so a burst of codes stays fast.
        if (g_recorder.OnMessage(wParam, lParam)) {
            InvalidateRect(hwnd, nullptr, TRUE);
            if (static_cast<long>(g_recorder.CodeCount()) == g_options.closeAfter)
                DestroyWindow(hwnd);
        }
        return 0;
    case WM_PAINT:
        PaintStatus(hwnd);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

// Written via a temporary file and a rename, so a polling test never reads it half-written.
bool WriteReadyFile(const std::string& path, HWND hwnd)
{
    const std::string tmp = path + ".tmp";
    FILE* f = std::fopen(tmp.c_str(), "wb");
    if (!f)
        return false;
    std::fprintf(f, "0x%08lX\n", static_cast<unsigned long>(reinterpret_cast<uintptr_t>(hwnd)));
    std::fclose(f);
    return MoveFileExA(tmp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

}  // namespace

int main(int argc, char** argv)
{
    _setmode(_fileno(stdout), _O_BINARY);  // plain LF lines for the reading test
    Options& opt = g_options;
    if (!ParseArgs(argc, argv, opt)) {
        std::fprintf(stderr, "usage: veltra-sim --out FILE [--second-class] [--log FILE] [--ready FILE] [--close-after N]\n");
        return 2;
    }
    if (!g_recorder.Open(opt.out, opt.log)) {
        std::fprintf(stderr, "veltra-sim: cannot open output files\n");
        return 1;
    }

    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA wc{};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = opt.secondClass ? kSecondClassName : kClassName;
    if (!RegisterClassA(&wc)) {
        std::fprintf(stderr, "veltra-sim: RegisterClass failed (%lu)\n", GetLastError());
        return 1;
    }
    HWND hwnd = CreateWindowA(wc.lpszClassName, "Veltra II", WS_OVERLAPPEDWINDOW,
                              CW_USEDEFAULT, CW_USEDEFAULT, 420, 120,
                              nullptr, nullptr, instance, nullptr);
    if (!hwnd) {
        std::fprintf(stderr, "veltra-sim: CreateWindow failed (%lu)\n", GetLastError());
        return 1;
    }
    ShowWindow(hwnd, SW_SHOWNOACTIVATE);

    if (!opt.ready.empty() && !WriteReadyFile(opt.ready, hwnd)) {
        std::fprintf(stderr, "veltra-sim: cannot write %s\n", opt.ready.c_str());
        return 1;
    }
    std::printf("ready 0x%08lX\n", static_cast<unsigned long>(reinterpret_cast<uintptr_t>(hwnd)));
    std::fflush(stdout);

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    std::printf("codes %lu\n", static_cast<unsigned long>(g_recorder.CodeCount()));
    return 0;
}
