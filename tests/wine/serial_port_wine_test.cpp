// The serial port against a real pseudo-terminal pair: the test session links
// COM5 and COM6 through socat, and leaves COM7 pointing at nothing.
#include <gtest/gtest.h>
#include <windows.h>

#include "base/Exception.h"
#include "platform/Win32CommApi.h"
#include "platform/Win32Registry.h"
#include "serial/SerialPort32.h"

namespace brenvik {
namespace {

HANDLE DeviceOf(const TSerialPort32& port) {
    return reinterpret_cast<HANDLE>(static_cast<intptr_t>(static_cast<int32_t>(port.Handle)));
}

class PeerLine {
public:
    PeerLine() {
        handle_ = CreateFileA("\\\\.\\COM6", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    }
    ~PeerLine() {
        if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    }
    bool Valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    void Send(const std::string& bytes) {
        DWORD written = 0;
        WriteFile(handle_, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    }
    // Everything that arrives within the wait.
    std::string Receive(DWORD waitMs = 300) {
        Sleep(waitMs);
        DWORD errors = 0;
        COMSTAT status{};
        ClearCommError(handle_, &errors, &status);
        std::string bytes(status.cbInQue, '\0');
        DWORD got = 0;
        if (status.cbInQue) ReadFile(handle_, bytes.data(), status.cbInQue, &got, nullptr);
        bytes.resize(got);
        return bytes;
    }

private:
    HANDLE handle_ = INVALID_HANDLE_VALUE;
};

class SerialPortWineTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(peer.Valid()) << "COM6 must be linked to COM5 by the test session";
        port.SetPortName("COM5");
        ASSERT_TRUE(port.Open());
        peer.Receive(50);  // drop leftovers of earlier tests
        while (!port.ReadAll().empty()) {
        }
    }

    std::unique_ptr<RegistryReader> registry = OpenRegistryReader(HKEY_LOCAL_MACHINE);
    TSerialPort32 port{SystemCommApi(), *registry};
    PeerLine peer;
};

TEST_F(SerialPortWineTest, ConfiguresTheDeviceSpeed) {
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    ASSERT_TRUE(GetCommState(DeviceOf(port), &dcb));
    EXPECT_EQ(dcb.BaudRate, 9600u);
    EXPECT_EQ(dcb.ByteSize, 8);
    EXPECT_TRUE(dcb.fBinary);
    port.SetBaudIndex(TSerialPort32::kBaud38400);
    ASSERT_TRUE(GetCommState(DeviceOf(port), &dcb));
    EXPECT_EQ(dcb.BaudRate, 38400u);
}

TEST_F(SerialPortWineTest, BytesCrossTheLineUnchanged) {
    std::string all;
    for (int value = 0; value < 256; ++value) all.push_back(static_cast<char>(value));
    ASSERT_TRUE(port.WriteText(all));
    EXPECT_EQ(peer.Receive(), all);

    peer.Send(all);
    Sleep(300);
    EXPECT_EQ(port.BytesWaiting(), 256u);
    EXPECT_EQ(port.ReadAll(), all);
    EXPECT_EQ(port.BytesWaiting(), 0u);
}

TEST_F(SerialPortWineTest, ReadLineLeavesBytesAfterTheCarriageReturnQueued) {
    peer.Send("AB\rCD");
    Sleep(200);
    EXPECT_EQ(port.ReadLine(1000), "AB\r");
    EXPECT_EQ(port.BytesWaiting(), 2u);
    DWORD start = GetTickCount();
    EXPECT_EQ(port.ReadLine(300), "CD");  // no CR: what came within the limit
    EXPECT_GE(GetTickCount() - start, 290u);
}

TEST_F(SerialPortWineTest, SendAndWaitSeesTheAnswer) {
    peer.Send("ack\r");
    Sleep(200);
    EXPECT_TRUE(port.SendAndWait("GETD\r", "ACK\r", 500));
    EXPECT_EQ(peer.Receive(), "GETD\r");
    EXPECT_FALSE(port.SendAndWait("GETD\r", "ACK\r", 100));
}

// Real Windows refuses to open a missing device; Wine opens the dangling
// mapping but then fails every operation. Either way nothing is sent, nothing
// is read, and only a non-silent port complains.
TEST(SerialPortWineMissingDevice, NothingPassesAndOnlyANonSilentPortRaises) {
    auto registry = OpenRegistryReader(HKEY_LOCAL_MACHINE);
    for (const char* name : {"COM7", ""}) {
        SCOPED_TRACE(name);
        TSerialPort32 port{SystemCommApi(), *registry};
        port.SetPortName(name);
        port.Open();
        EXPECT_FALSE(port.WriteText("x"));
        EXPECT_EQ(port.ReadAll(), "");
        EXPECT_EQ(port.ReadLine(10), "");
        EXPECT_FALSE(port.SendAndWait("GETD\r", "ACK\r", 10));
        port.Close();

        port.Silent = false;
        EXPECT_THROW(port.Open(), Exception);
    }
}

}  // namespace
}  // namespace brenvik
