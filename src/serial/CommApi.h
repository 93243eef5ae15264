#pragma once
#include <cstdint>
#include <string>

namespace brenvik {

using CommHandle = std::uint32_t;
inline constexpr CommHandle kInvalidCommHandle = 0xFFFFFFFFu;

// Field-for-field image of the 28-byte Windows device control block, so the
// line settings can be computed and tested without the Windows headers.
struct CommState {
    std::uint32_t DCBlength;
    std::uint32_t BaudRate;
    std::uint32_t Flags;  // fBinary … fAbortOnError as one word
    std::uint16_t wReserved;
    std::uint16_t XonLim;
    std::uint16_t XoffLim;
    std::uint8_t ByteSize;
    std::uint8_t Parity;
    std::uint8_t StopBits;
    char XonChar;
    char XoffChar;
    char ErrorChar;
    char EofChar;
    char EvtChar;
    std::uint16_t wReserved1;
};
static_assert(sizeof(CommState) == 28, "must match the Windows DCB");

// The operating-system calls the serial port is allowed to make. The Windows
// implementation forwards each one to the function of the same role.
class CommApi {
public:
    virtual ~CommApi() = default;
    // CreateFileA: read/write, no sharing, OPEN_EXISTING, no overlapped I/O.
    virtual CommHandle OpenDevice(const std::string& path) = 0;
    virtual bool CloseDevice(CommHandle handle) = 0;
    virtual bool GetState(CommHandle handle, CommState& state) = 0;
    virtual bool SetState(CommHandle handle, const CommState& state) = 0;
    // ClearCommError: the error flags and the input queue's byte count.
    virtual bool ClearError(CommHandle handle, std::uint32_t& errors, std::uint32_t& bytesInQueue) = 0;
    virtual bool Read(CommHandle handle, void* buffer, std::uint32_t count, std::uint32_t& bytesRead) = 0;
    virtual bool Write(CommHandle handle, const void* data, std::uint32_t count, std::uint32_t& bytesWritten) = 0;
    virtual bool Escape(CommHandle handle, std::uint32_t function) = 0;
    virtual std::uint32_t TickCount() = 0;
    virtual void Sleep(std::uint32_t milliseconds) = 0;
    virtual std::uint32_t LastError() = 0;
};

}  // namespace brenvik
