#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "serial/ComPortInfoList.h"
#include "serial/CommApi.h"
#include "serial/RegistryReader.h"

namespace brenvik {

// Synchronous serial port. Reads only ever request bytes already queued, so
// no call waits longer than the time limit its caller gives.
class TSerialPort32 {
public:
    // EscapeCommFunction codes used by the collector handshake.
    static constexpr std::uint32_t kSetRts = 3, kClearRts = 4, kSetDtr = 5, kClearDtr = 6;
    static constexpr std::uint8_t kBaud9600 = 6, kBaud38400 = 9;

    TSerialPort32(CommApi& comm, RegistryReader& machineRegistry);
    TSerialPort32(const TSerialPort32&) = delete;
    TSerialPort32& operator=(const TSerialPort32&) = delete;
    ~TSerialPort32();

    bool Silent = true;
    CommHandle Handle = kInvalidCommHandle;
    std::string PortName = "COM1";
    std::uint8_t BaudIndex = kBaud9600;
    std::uint8_t ParityIndex = 0;
    std::uint8_t ByteSizeIndex = 3;
    std::uint8_t StopBitsIndex = 0;
    std::unique_ptr<TComPortInfoList> Ports;

    bool IsOpen() const { return Handle != kInvalidCommHandle; }
    bool Open();
    bool Close();
    bool Configure();
    void SetPortName(const std::string& name);
    void SetBaudIndex(std::uint8_t index);
    std::uint32_t BytesWaiting();
    std::string ReadAll();
    bool ReadByte(std::uint8_t& byte);
    std::string ReadLine(std::int32_t limitMs);
    bool WriteText(const std::string& text);
    bool SendAndWait(const std::string& command, const std::string& expected, std::int32_t limitMs);
    bool LineControl(std::uint32_t function);
    static std::string ErrorText(std::int32_t code);
    void CheckResult(bool failed);
    TComPortInfoList& PortList();

    static std::uint32_t BaudRateOf(std::uint8_t index);

private:
    bool WithinLimit(std::uint32_t startTick, std::int32_t limitMs);

    CommApi& comm_;
    RegistryReader& machineRegistry_;
};

}  // namespace brenvik
