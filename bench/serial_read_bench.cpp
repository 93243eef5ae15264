// Costs of the serial calls Brenvik makes per code, on COM5 of the Wine
// session, fed from COM6 through the session's socat pty pair: a
// ClearCommError poll, a one-byte ReadFile, TSerialPort32::ReadLine of one
// collector line (a poll and a one-byte read per byte) and the ACK it writes.
// Lines are queued before the clock starts, as the collector's next line is
// while Brenvik feeds the previous code, so only the calls are timed.
//
// usage: serial_read_bench
// Prints "<figure> <median microseconds per call>" lines.

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "Measure.h"
#include "platform/Win32CommApi.h"
#include "platform/Win32Registry.h"
#include "serial/SerialPort32.h"

namespace {

using brenvik::TSerialPort32;

constexpr int kBatches = 5;
constexpr int kLines = 200;  // 3,400 bytes: within the pty buffers, so no write blocks
const std::string kLine = "A5901234123457" "00\r";  // a 13-digit code as the collector frames it
const std::string kAcknowledge = "ACK\r";

[[noreturn]] void Fail(const char* why) {
    std::fprintf(stderr, "serial_read_bench: %s\n", why);
    std::exit(1);
}

std::string Repeated(const std::string& text, int count) {
    std::string all;
    for (int i = 0; i < count; ++i) all += text;
    return all;
}

// Waits up to five seconds until `count` bytes are queued at `port`.
void AwaitQueued(TSerialPort32& port, size_t count) {
    for (DWORD start = GetTickCount(); port.BytesWaiting() < count; Sleep(1))
        if (GetTickCount() - start > 5000) Fail("bytes sent across the pty pair did not arrive");
}

}  // namespace

int main() {
    auto registry = brenvik::OpenRegistryReader(HKEY_LOCAL_MACHINE);
    TSerialPort32 port(brenvik::SystemCommApi(), *registry), peer(brenvik::SystemCommApi(), *registry);
    port.SetPortName("COM5");
    peer.SetPortName("COM6");
    if (!port.Open() || !peer.Open()) Fail("cannot open COM5 and COM6, the session's pty pair");
    port.ReadAll();  // whatever an earlier run left

    const std::string lines = Repeated(kLine, kLines);
    auto queueLines = [&] {
        peer.WriteText(lines);
        AwaitQueued(port, lines.size());
    };
    PrintMicrosecondsPerCall("clear_comm_error_us", kBatches, 20000, [] {}, [&] {
        if (port.BytesWaiting() != 0) Fail("unexpected bytes on COM5");
    });
    PrintMicrosecondsPerCall("read_file_us", kBatches, static_cast<int>(lines.size()), queueLines, [&] {
        std::uint8_t byte = 0;
        std::uint32_t got = 0;
        if (!brenvik::SystemCommApi().Read(port.Handle, &byte, 1, got) || got != 1) Fail("one-byte read failed");
    });
    PrintMicrosecondsPerCall("read_line_us", kBatches, kLines, queueLines, [&] {
        if (port.ReadLine(1000) != kLine) Fail("ReadLine returned another line");
    });
    // Each batch's ACKs are taken, and checked, before the next batch.
    const std::string acks = Repeated(kAcknowledge, kLines);
    bool acksSent = false;
    auto takeAcks = [&] {
        if (acksSent) {
            AwaitQueued(peer, acks.size());
            if (peer.ReadAll() != acks) Fail("the ACKs did not arrive at COM6 intact");
        }
        acksSent = true;
    };
    PrintMicrosecondsPerCall("write_ack_us", kBatches, kLines, takeAcks, [&] { port.WriteText(kAcknowledge); });
    takeAcks();
    return 0;
}
