#include "serial/SerialPort32.h"

#include <array>

#include "base/Exception.h"
#include "base/Text.h"

namespace brenvik {
namespace {

constexpr std::array<std::uint32_t, 15> kBaudRates = {110,   300,   600,   1200,  2400,   4800,   9600,  14400,
                                                      19200, 38400, 56000, 57600, 115200, 128000, 256000};
constexpr std::array<std::uint8_t, 5> kParities = {0, 1, 2, 3, 4};
constexpr std::array<std::uint8_t, 4> kByteSizes = {5, 6, 7, 8};
constexpr std::array<std::uint8_t, 3> kStopBits = {0, 1, 2};

// fOutxCtsFlow, fInX, fErrorChar, the upper fRtsControl bit and fAbortOnError
// off; fBinary on; every other bit as the driver reported it.
constexpr std::uint32_t kClearedFlags = 0x6605;
constexpr std::uint32_t kBinaryFlag = 0x0001;

constexpr char kCarriageReturn = '\r';

}  // namespace

TSerialPort32::TSerialPort32(CommApi& comm, RegistryReader& machineRegistry)
    : comm_(comm), machineRegistry_(machineRegistry) {}

TSerialPort32::~TSerialPort32() {
    if (IsOpen()) comm_.CloseDevice(Handle);
    Handle = kInvalidCommHandle;
}

std::uint32_t TSerialPort32::BaudRateOf(std::uint8_t index) { return kBaudRates.at(index); }

bool TSerialPort32::Open() {
    if (IsOpen()) return false;
    Handle = comm_.OpenDevice("\\\\.\\" + PortName);
    CheckResult(!IsOpen());
    Configure();
    return IsOpen();
}

bool TSerialPort32::Configure() {
    if (!IsOpen()) return true;
    CommState state{};
    state.DCBlength = sizeof(CommState);
    CheckResult(!comm_.GetState(Handle, state));
    state.BaudRate = kBaudRates.at(BaudIndex);
    state.Parity = kParities.at(ParityIndex);
    state.ByteSize = kByteSizes.at(ByteSizeIndex);
    state.StopBits = kStopBits.at(StopBitsIndex);
    state.Flags = (state.Flags & ~kClearedFlags) | kBinaryFlag;
    bool ok = comm_.SetState(Handle, state);
    CheckResult(!ok);
    return ok;
}

bool TSerialPort32::Close() {
    if (!IsOpen()) return true;
    if (comm_.CloseDevice(Handle)) {
        Handle = kInvalidCommHandle;
        return true;
    }
    CheckResult(true);
    return false;
}

void TSerialPort32::SetPortName(const std::string& name) {
    if (name == PortName) return;
    PortName = name;
    if (!IsOpen()) return;
    bool ok = Close() && Open();
    CheckResult(!ok);
}

void TSerialPort32::SetBaudIndex(std::uint8_t index) {
    if (index == BaudIndex) return;
    BaudIndex = index;
    Configure();
}

std::uint32_t TSerialPort32::BytesWaiting() {
    if (!IsOpen()) return 0;
    std::uint32_t errors = 0, queued = 0;
    // Clearing the error state keeps a port working after an overrun or a
    // framing error; the flags themselves are of no use here.
    if (!comm_.ClearError(Handle, errors, queued)) return 0;
    return queued;
}

std::string TSerialPort32::ReadAll() {
    std::string text;
    if (!IsOpen()) return text;
    std::uint32_t waiting = BytesWaiting();
    bool ok = false;
    if (waiting > 0) {
        text.resize(waiting);
        std::uint32_t got = 0;
        ok = comm_.Read(Handle, text.data(), waiting, got);
        text.resize(ok ? got : 0);
    }
    CheckResult(!ok);
    return text;
}

bool TSerialPort32::ReadByte(std::uint8_t& byte) {
    byte = 0;
    if (!IsOpen() || BytesWaiting() == 0) return false;
    std::uint32_t got = 0;
    bool ok = comm_.Read(Handle, &byte, 1, got);
    CheckResult(!ok);
    return ok;
}

bool TSerialPort32::WithinLimit(std::uint32_t startTick, std::int32_t limitMs) {
    // Unsigned difference: the tick counter's wrap after 49.7 days cannot stall
    // the wait. A negative limit allows exactly one poll.
    std::uint32_t elapsed = comm_.TickCount() - startTick;
    return limitMs >= 0 && elapsed <= static_cast<std::uint32_t>(limitMs);
}

std::string TSerialPort32::ReadLine(std::int32_t limitMs) {
    std::string line;
    if (!IsOpen()) return line;
    std::uint32_t start = comm_.TickCount();
    do {
        std::uint8_t byte;
        if (ReadByte(byte)) {
            line.push_back(static_cast<char>(byte));
            if (byte == kCarriageReturn) break;
        } else {
            // Nothing there yet: the rest of the time slice belongs to the
            // programs the line depends on (the target, the system's server).
            comm_.Sleep(0);
        }
    } while (WithinLimit(start, limitMs));
    return line;
}

bool TSerialPort32::WriteText(const std::string& text) {
    if (!IsOpen()) return false;
    std::uint32_t written = 0;
    bool ok = comm_.Write(Handle, text.data(), static_cast<std::uint32_t>(text.size()), written);
    CheckResult(!ok);
    return ok;
}

bool TSerialPort32::SendAndWait(const std::string& command, const std::string& expected, std::int32_t limitMs) {
    std::string reply;
    bool written = WriteText(command);
    std::uint32_t start = comm_.TickCount();
    if (!written) return false;
    do {
        comm_.Sleep(1);
        std::uint8_t byte;
        if (ReadByte(byte)) reply.push_back(static_cast<char>(byte));
        if (SameTextAscii(reply, expected)) break;
    } while (WithinLimit(start, limitMs));
    // Tells only that the other side answered at all; a match merely ends the
    // wait early.
    return !reply.empty();
}

bool TSerialPort32::LineControl(std::uint32_t function) {
    if (!IsOpen()) return false;
    bool ok = comm_.Escape(Handle, function);
    CheckResult(!ok);
    return ok;
}

void TSerialPort32::CheckResult(bool failed) {
    if (failed && !Silent) throw Exception(ErrorText(static_cast<std::int32_t>(comm_.LastError())));
}

TComPortInfoList& TSerialPort32::PortList() {
    if (Ports) return *Ports;
    // Cached before the walk, so a walk that stops at a bad value keeps what it found.
    Ports = std::make_unique<TComPortInfoList>();
    Ports->ReadInstalledPorts(machineRegistry_);
    return *Ports;
}

}  // namespace brenvik
