// The least a program can do to run the collector's download: the same bytes
// on the port, the same key messages to the target, its own caption counting
// the codes and a message-pump pass per code, on the bare Win32 API with
// blocking reads. Brenvik's import is measured against it.
//
// usage: reference_importer COMn TARGET_CLASS     (prints "imported N", then
// "cpu S": its own CPU seconds, user and kernel)

#include <windows.h>

#include <cstdio>
#include <string>

namespace {

constexpr UINT kKeyMessage = WM_USER + 10;

class Port {
public:
    explicit Port(const char* name)
        : handle_(CreateFileA((std::string("\\\\.\\") + name).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr)) {}
    ~Port() {
        if (Open()) CloseHandle(handle_);
    }
    bool Open() const { return handle_ != INVALID_HANDLE_VALUE; }

    void Configure(DWORD baud) {
        DCB dcb{};
        dcb.DCBlength = sizeof dcb;
        GetCommState(handle_, &dcb);
        dcb.BaudRate = baud;
        dcb.ByteSize = 8;
        dcb.Parity = NOPARITY;
        dcb.StopBits = ONESTOPBIT;
        SetCommState(handle_, &dcb);
    }
    // A read returns as soon as one byte is there, or after the limit.
    void SetReadLimit(DWORD milliseconds) {
        COMMTIMEOUTS timeouts{MAXDWORD, MAXDWORD, milliseconds, 0, 0};
        SetCommTimeouts(handle_, &timeouts);
    }
    void Write(const std::string& text) {
        DWORD written = 0;
        WriteFile(handle_, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    }
    // Bytes up to and including `last`, or what came before the limit.
    std::string ReadUpTo(char last) {
        std::string text;
        char byte = 0;
        DWORD got = 0;
        while (ReadFile(handle_, &byte, 1, &got, nullptr) && got == 1) {
            text.push_back(byte);
            if (byte == last) break;
        }
        return text;
    }
    std::string ReadWaiting() {
        DWORD errors = 0;
        COMSTAT status{};
        ClearCommError(handle_, &errors, &status);
        std::string text(status.cbInQue, '\0');
        DWORD got = 0;
        if (!text.empty()) ReadFile(handle_, text.data(), status.cbInQue, &got, nullptr);
        text.resize(got);
        return text;
    }

private:
    HANDLE handle_;
};

void Send(HWND target, WPARAM character, LPARAM mark) {
    DWORD_PTR result = 0;
    SendMessageTimeoutA(target, kKeyMessage, character, mark, SMTO_NORMAL, 30000, &result);
}

void PumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

bool WakeCollector(Port& port) {
    port.Write("\x07" "2Q");
    port.ReadWaiting();
    port.Configure(9600);
    for (int attempt = 0; attempt < 50; ++attempt) {
        port.Write("\x0f");
        if (port.ReadWaiting().rfind('\x0f', 0) == 0) return true;
        Sleep(100);
    }
    return false;
}

int Import(Port& port, HWND target, HWND window) {
    port.Write("\x07" "2Q");
    port.ReadWaiting();
    port.SetReadLimit(500);
    port.Write("GETD\r");
    port.ReadUpTo('\r');  // the first request is refused
    port.Write("GETD\r");
    if (port.ReadUpTo('\r') != "ACK\r") return -1;

    port.SetReadLimit(1000);
    int imported = 0;
    for (std::string line = port.ReadUpTo('\r'); !line.empty() && line != "OVER\r"; line = port.ReadUpTo('\r')) {
        port.Write("ACK\r");
        if (line.size() <= 4) continue;
        for (char c : line.substr(1, line.size() - 4)) Send(target, static_cast<unsigned char>(c), 0);
        Send(target, 13, 1);
        char caption[32];
        std::snprintf(caption, sizeof caption, "Wprowadzono %d szt.", ++imported);
        SetWindowTextA(window, caption);
        PumpMessages();
    }
    return imported;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: reference_importer COMn TARGET_CLASS\n");
        return 2;
    }
    HWND target = FindWindowA(argv[2], nullptr);
    HWND window = CreateWindowExA(0, "STATIC", "Brenvik", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 400, 200,
                                  nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    Port port(argv[1]);
    if (!target || !window || !port.Open()) {
        std::fprintf(stderr, "reference_importer: no target window, own window or port\n");
        return 1;
    }
    port.Configure(38400);
    PumpMessages();
    int imported = WakeCollector(port) ? Import(port, target, window) : -1;
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    auto seconds = [](FILETIME time) { return (static_cast<double>(time.dwHighDateTime) * 4294967296.0 + time.dwLowDateTime) / 1e7; };
    std::printf("imported %d\ncpu %.3f\n", imported, seconds(kernel) + seconds(user));
    return imported < 0 ? 1 : 0;
}
