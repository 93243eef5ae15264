#include <gtest/gtest.h>

#include "FakeCommApi.h"
#include "FakeRegistry.h"
#include "base/Exception.h"
#include "serial/SerialPort32.h"

namespace brenvik {
namespace {

using testing::FakeCommApi;
using testing::FakeRegistry;

class SerialPortTest : public ::testing::Test {
protected:
    FakeCommApi comm;
    FakeRegistry registry;
    TSerialPort32 port{comm, registry};
};

TEST_F(SerialPortTest, OpenConfiguresLineAndOnlyOnce) {
    comm.deviceState.Flags = 0xFFFFFFFF;
    comm.deviceState.XonLim = 77;
    ASSERT_TRUE(port.Open());
    EXPECT_EQ(comm.openedPaths, std::vector<std::string>{"\\\\.\\COM1"});
    ASSERT_EQ(comm.applied.size(), 1u);
    const CommState& state = comm.applied[0];
    EXPECT_EQ(state.DCBlength, 28u);
    EXPECT_EQ(state.BaudRate, 9600u);
    EXPECT_EQ(state.ByteSize, 8);
    EXPECT_EQ(state.Parity, 0);
    EXPECT_EQ(state.StopBits, 0);
    EXPECT_EQ(state.Flags, (0xFFFFFFFFu & ~0x6605u) | 1u);  // the five bits go, fBinary stays
    EXPECT_EQ(state.XonLim, 77);                     // untouched fields keep the device's values

    comm.deviceState.Flags = 0;
    EXPECT_FALSE(port.Open());  // already open: no reopen, no reconfigure
    EXPECT_EQ(comm.applied.size(), 1u);
    EXPECT_TRUE(port.Close());
    EXPECT_TRUE(port.Close());  // closing a closed port succeeds
    EXPECT_EQ(comm.openHandles, 0);
}

TEST_F(SerialPortTest, BaudChangeReconfiguresOnlyWhenIndexDiffers) {
    port.Open();
    port.SetBaudIndex(TSerialPort32::kBaud38400);
    port.SetBaudIndex(TSerialPort32::kBaud38400);
    ASSERT_EQ(comm.applied.size(), 2u);
    EXPECT_EQ(comm.applied[1].BaudRate, 38400u);
    EXPECT_EQ(comm.applied[1].Flags & 1u, 1u);
}

TEST_F(SerialPortTest, PortNameComparesBytesExactly) {
    port.Open();
    port.SetPortName("COM1");
    EXPECT_EQ(comm.openedPaths.size(), 1u);
    port.SetPortName("com1");  // a different text: reopens under the new name
    EXPECT_EQ(comm.openedPaths, (std::vector<std::string>{"\\\\.\\COM1", "\\\\.\\com1"}));
    EXPECT_TRUE(port.IsOpen());
    port.Close();
    port.SetPortName("COM2");  // closed: only the name changes
    EXPECT_EQ(comm.openedPaths.size(), 2u);
}

TEST_F(SerialPortTest, ClosedPortYieldsNothingAndNeverRaises) {
    comm.failOpen = true;
    port.Silent = true;
    EXPECT_FALSE(port.Open());
    EXPECT_EQ(port.BytesWaiting(), 0u);
    EXPECT_EQ(port.ReadAll(), "");
    EXPECT_EQ(port.ReadLine(1000), "");
    std::uint8_t byte = 7;
    EXPECT_FALSE(port.ReadByte(byte));
    EXPECT_EQ(byte, 0);
    EXPECT_FALSE(port.WriteText("GETD\r"));
    EXPECT_FALSE(port.SendAndWait("GETD\r", "ACK\r", 500));
    EXPECT_FALSE(port.LineControl(TSerialPort32::kSetDtr));
    EXPECT_TRUE(comm.written.empty());
}

TEST_F(SerialPortTest, NonSilentPortRaisesTheLastErrorText) {
    port.Silent = false;
    comm.failOpen = true;
    comm.lastError = static_cast<std::uint32_t>(-10);
    try {
        port.Open();
        FAIL() << "expected an exception";
    } catch (const Exception& error) {
        EXPECT_EQ(error.Message, TSerialPort32::ErrorText(-10));
    }
}

TEST_F(SerialPortTest, ReadLineStopsAtCarriageReturnAndLeavesTheRest) {
    port.Open();
    comm.Arrive("AB\rCD");
    EXPECT_EQ(port.ReadLine(1000), "AB\r");
    EXPECT_EQ(comm.Queued(), "CD");

    std::uint32_t start = comm.now;
    EXPECT_EQ(port.ReadLine(1000), "CD");  // no CR: whatever came within the limit
    EXPECT_GT(comm.now - start, 1000u);
}

TEST_F(SerialPortTest, ReadLineLimitsSurviveTheTickWrap) {
    port.Open();
    comm.now = 0xFFFFFF00u;
    comm.Arrive("late\r", 0x00000010u);  // arrives after the counter wrapped
    EXPECT_EQ(port.ReadLine(1000), "late\r");

    comm.now = 0xFFFFFFF0u;
    std::uint32_t start = comm.now;
    EXPECT_EQ(port.ReadLine(100), "");
    EXPECT_LT(comm.now - start, 200u);  // ended by the limit, not stalled by the wrap
}

TEST_F(SerialPortTest, NegativeLimitPollsExactlyOnce) {
    port.Open();
    comm.Arrive("XY");
    EXPECT_EQ(port.ReadLine(-1), "X");
    EXPECT_TRUE(port.SendAndWait("GETD\r", "ACK\r", -5));  // one poll finds "Y"
    EXPECT_EQ(comm.Queued(), "");
}

TEST_F(SerialPortTest, SendAndWaitEndsEarlyOnlyOnAnExactCaselessMatch) {
    port.Open();
    comm.peer = [](const std::string&) { return std::string("ack\r"); };
    std::uint32_t start = comm.now;
    EXPECT_TRUE(port.SendAndWait("GETD\r", "ACK\r", 500));
    EXPECT_LT(comm.now - start, 50u);

    comm.peer = [](const std::string&) { return std::string("NAK\r"); };
    start = comm.now;
    EXPECT_TRUE(port.SendAndWait("GETD\r", "ACK\r", 500));  // answered, but not as expected
    EXPECT_GE(comm.now - start, 500u);

    comm.peer = nullptr;
    start = comm.now;
    EXPECT_FALSE(port.SendAndWait("GETD\r", "ACK\r", 500));
    EXPECT_GE(comm.now - start, 500u);

    comm.failWrite = true;
    start = comm.now;
    EXPECT_FALSE(port.SendAndWait("GETD\r", "ACK\r", 500));
    EXPECT_LT(comm.now - start, 5u);
}

TEST_F(SerialPortTest, ReadAllTakesExactlyWhatIsQueued) {
    port.Open();
    comm.Arrive(std::string("\x0f\x00\xff", 3));
    EXPECT_EQ(port.ReadAll(), std::string("\x0f\x00\xff", 3));
    EXPECT_EQ(port.ReadAll(), "");
}

TEST(SerialErrorText, KnownCodesAndUnsignedFallback) {
    EXPECT_EQ(TSerialPort32::ErrorText(1), "Przepe\xb3nienie bufora wej\x9c" "ciowego.");
    EXPECT_EQ(TSerialPort32::ErrorText(32768), "Wybrany tryb jest niedopuszczalny.");
    EXPECT_EQ(TSerialPort32::ErrorText(-10), "Urz\xb9" "dzenie niedost\xeapne (otwarte przez inny program).");
    EXPECT_EQ(TSerialPort32::ErrorText(5), "Generalny b\xb3\xb9" "d nr 5");
    EXPECT_EQ(TSerialPort32::ErrorText(-6), "Generalny b\xb3\xb9" "d nr 4294967290");
}

}  // namespace
}  // namespace brenvik
