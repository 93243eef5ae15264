// Times the synchronous cross-process messages Brenvik types a code with, sent
// to a running target simulator: batches of 'A' messages, each batch closed by
// the end-of-code mark, so the simulator records one code per batch.
//
// usage: send_message_bench [--messages N] [--batches B]
// Prints "send_message_us <median microseconds per message>".

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "Measure.h"

namespace {

constexpr char kTargetClass[] = "TMain865D2C3C09434DF4AFA2EDF18B0423EA";
constexpr UINT kCodeMessage = WM_USER + 10;
constexpr WPARAM kEndOfCodeChar = 13;
constexpr LPARAM kEndOfCodeMark = 1;

}  // namespace

int main(int argc, char** argv) {
    int messages = 20000, batches = 5;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--messages")) messages = std::atoi(argv[i + 1]);
        if (!std::strcmp(argv[i], "--batches")) batches = std::atoi(argv[i + 1]);
    }
    if (argc % 2 == 0 || messages < 1 || batches < 1) {
        std::fprintf(stderr, "usage: send_message_bench [--messages N] [--batches B]\n");
        return 2;
    }
    HWND target = FindWindowA(kTargetClass, nullptr);
    if (!target) {
        std::fprintf(stderr, "send_message_bench: no target window of class %s\n", kTargetClass);
        return 1;
    }
    auto endCode = [&] { SendMessageA(target, kCodeMessage, kEndOfCodeChar, kEndOfCodeMark); };
    bool codeOpen = false;
    PrintMicrosecondsPerCall("send_message_us", batches, messages, [&] {
        if (codeOpen) endCode();
        codeOpen = true;
    }, [&] { SendMessageA(target, kCodeMessage, 'A', 0); });
    endCode();
    if (!IsWindow(target)) {
        std::fprintf(stderr, "send_message_bench: the target window went away\n");
        return 1;
    }
    return 0;
}
