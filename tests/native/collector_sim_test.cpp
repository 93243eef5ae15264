#include "CollectorModel.h"
#include "PtyPeer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <vector>

using namespace std::string_literals;

namespace {

const std::string kAttention = "\x07" "2Q";
const std::string kWake = "\x0f";

// Host bytes of one session as the program sends them, one entry per write.
std::vector<std::string> HostSession(std::size_t lineCount) {
    std::vector<std::string> writes = {kAttention, kWake, kAttention, "GETD\r", "GETD\r"};
    writes.insert(writes.end(), lineCount, "ACK\r");
    return writes;
}

// Reply to each host write in turn.
std::vector<std::string> Transcript(CollectorModel& model, const std::vector<std::string>& writes) {
    std::vector<std::string> replies;
    for (const std::string& bytes : writes) replies.push_back(model.OnReceive(bytes));
    return replies;
}

std::vector<std::string> Transcript(const std::string& scenarioText, std::size_t lineCount) {
    CollectorModel model(ParseCollectorScenario(scenarioText));
    return Transcript(model, HostSession(lineCount));
}

}  // namespace

TEST(CollectorScenario, EscapesExpandAndMalformedOnesAreRejected) {
    EXPECT_EQ(UnescapeScenarioBytes(R"(a\x0D\x00\xffb\\x)"), "a\r\0\xff" "b\\x"s);
    for (const char* bad : {R"(\x4)", R"(\xZZ)", R"(\q)", "tail\\"})
        EXPECT_THROW(UnescapeScenarioBytes(bad), std::runtime_error) << bad;
}

TEST(CollectorScenario, FramesCodesKeepsRawLinesAndReadsFaults) {
    const std::string longCode(300, '7');
    CollectorScenario scenario = ParseCollectorScenario(
        "# comment\n"
        "\n"
        "code 5901234123457\r\n"
        "code " + longCode + "\n"
        "line \\x0d\n"
        "repeat 2 code x y\n"
        "line over\\x0d\n"
        "lead Z\n"
        "trail 9\\x01\n"
        "garbage-between \" \\x00\"\n"
        "silent-after 4\n"
        "never-wake\nno-getd-reply\nnak-second-getd\nack-first-getd\npartial-last\nno-over");
    const std::vector<std::string> expected = {
        "Z5901234123457" "9\x01\r", "Z" + longCode + "9\x01\r", "\r",
        "Zx y9\x01\r", "Zx y9\x01\r", "over\r"};
    EXPECT_EQ(scenario.dataLines, expected);
    const CollectorFaults& faults = scenario.faults;
    EXPECT_EQ(faults.garbageBetween, " \0"s);
    EXPECT_EQ(faults.silentAfter, 4u);
    EXPECT_TRUE(faults.neverWake && faults.noGetdReply && faults.nakSecondGetd &&
                faults.ackFirstGetd && faults.partialLast && faults.noOver);
}

TEST(CollectorScenario, GeneratesZeroPaddedSequences) {
    CollectorScenario scenario = ParseCollectorScenario("codes-from-seq 10000 13\n");
    ASSERT_EQ(scenario.dataLines.size(), 10000u);
    EXPECT_EQ(scenario.dataLines.front(), "A000000000000000\r");
    EXPECT_EQ(scenario.dataLines[42], "A000000000004200\r");
    EXPECT_EQ(scenario.dataLines.back(), "A000000000999900\r");
}

TEST(CollectorScenario, ErrorsNameTheLine) {
    for (const char* bad : {"code a\nbogus", "code a\nnever-wake now", "code a\nlead AB",
                            "code a\ncodes-from-seq 100 1", "code a\nsilent-after x",
                            "code a\nrepeat 2 cod X", "code a\ncode \\xG0"}) {
        try {
            ParseCollectorScenario(bad);
            ADD_FAILURE() << "accepted: " << bad;
        } catch (const std::runtime_error& error) {
            EXPECT_NE(std::string(error.what()).find("line 2"), std::string::npos) << error.what();
        }
    }
}

TEST(CollectorModel, HappySessionSameWhetherHostInputIsSplitOrMerged) {
    const std::string scenario = "code 123\ncode 4567\n";
    const std::vector<std::string> expected = {
        "", "\x0f", "", "NAK\r", "ACK\rA12300\r", "A456700\r", "OVER\r"};
    CollectorModel stepwise(ParseCollectorScenario(scenario));
    EXPECT_EQ(Transcript(stepwise, HostSession(2)), expected);
    EXPECT_TRUE(stepwise.State().woken);
    EXPECT_EQ(stepwise.State().getdCount, 2);
    EXPECT_EQ(stepwise.State().linesSent, 2u);
    EXPECT_EQ(stepwise.State().acksReceived, 2u);
    EXPECT_TRUE(stepwise.State().finished);

    std::string allHostBytes, allReplies;
    for (const std::string& bytes : HostSession(2)) allHostBytes += bytes;
    for (const std::string& reply : expected) allReplies += reply;

    CollectorModel merged(ParseCollectorScenario(scenario));
    EXPECT_EQ(merged.OnReceive(allHostBytes), allReplies);

    CollectorModel byteByByte(ParseCollectorScenario(scenario));
    std::string replies;
    for (char byte : allHostBytes) replies += byteByByte.OnReceive(std::string(1, byte));
    EXPECT_EQ(replies, allReplies);
    EXPECT_TRUE(byteByByte.State().finished);
}

TEST(CollectorModel, IgnoresWhatItDoesNotExpect) {
    CollectorModel model(ParseCollectorScenario("code 1\n"));
    EXPECT_EQ(model.OnReceive("GETD\rACK\r"), "") << "asleep until woken";
    EXPECT_EQ(model.OnReceive("\x0f\x0f"), "\x0f\x0f") << "every wake byte is answered";
    EXPECT_EQ(model.OnReceive("ACK\rHELLO\r"), "") << "no ACK before the transfer";
    EXPECT_EQ(model.OnReceive("GETD\rjunkGETD\r"), "NAK\rACK\rA100\r");
    EXPECT_EQ(model.OnReceive("ACK\rACK\rGETD\r"), "OVER\r");
    EXPECT_EQ(model.State().acksReceived, 1u);
    EXPECT_EQ(model.State().getdCount, 3);
}

TEST(CollectorModel, ZeroCodesSendOverRightAfterTheSecondGetd) {
    EXPECT_EQ(Transcript("", 0).back(), "ACK\rOVER\r");
}

TEST(CollectorModel, HandshakeFaults) {
    using Replies = std::vector<std::string>;
    EXPECT_EQ(Transcript("code 1\nnever-wake\n", 1), Replies(6, ""));
    EXPECT_EQ(Transcript("code 1\nno-getd-reply\n", 1), (Replies{"", "\x0f", "", "", "", ""}));
    EXPECT_EQ(Transcript("code 1\nnak-second-getd\n", 1),
              (Replies{"", "\x0f", "", "NAK\r", "NAK\rA100\r", "OVER\r"}));
    EXPECT_EQ(Transcript("code 1\nack-first-getd\n", 1),
              (Replies{"", "\x0f", "", "ACK\r", "ACK\rA100\r", "OVER\r"}));
}

TEST(CollectorModel, TransferFaults) {
    using Replies = std::vector<std::string>;
    const std::string twoCodes = "code 1\ncode 2\n";
    const Replies head = {"", "\x0f", "", "NAK\r"};
    auto tail = [&](const std::string& faults) {
        Replies replies = Transcript(twoCodes + faults, 2);
        return Replies(replies.begin() + head.size(), replies.end());
    };
    EXPECT_EQ(tail(""), (Replies{"ACK\rA100\r", "A200\r", "OVER\r"}));
    EXPECT_EQ(tail("silent-after 1"), (Replies{"ACK\rA100\r", "", ""}));
    EXPECT_EQ(tail("silent-after 0"), (Replies{"ACK\r", "", ""}));
    EXPECT_EQ(tail("silent-after 2"), (Replies{"ACK\rA100\r", "A200\r", ""}));
    EXPECT_EQ(tail("partial-last"), (Replies{"ACK\rA100\r", "A200", ""}));
    EXPECT_EQ(tail("no-over"), (Replies{"ACK\rA100\r", "A200\r", ""}));
    EXPECT_EQ(tail("garbage-between \"\\xff \""), (Replies{"ACK\r\xff A100\r", "\xff A200\r", "OVER\r"}));

    CollectorModel silent(ParseCollectorScenario(twoCodes + "silent-after 1"));
    Transcript(silent, HostSession(2));
    EXPECT_EQ(silent.State().linesSent, 1u);
    EXPECT_FALSE(silent.State().finished);
}

namespace {

// Reads until `count` bytes arrived or a second passed.
std::string ReadAtMost(int fd, std::size_t count,
                       std::chrono::milliseconds timeout = std::chrono::seconds(1)) {
    std::string bytes;
    auto deadline = std::chrono::steady_clock::now() + timeout;
    while (bytes.size() < count) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd readable{fd, POLLIN, 0};
        if (left.count() <= 0 || poll(&readable, 1, static_cast<int>(left.count())) <= 0) break;
        char buffer[256];
        ssize_t got = read(fd, buffer, std::min(sizeof buffer, count - bytes.size()));
        if (got <= 0) break;
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
    return bytes;
}

void WriteString(int fd, const std::string& bytes) {
    ASSERT_EQ(write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
}

}  // namespace

TEST(PtyPeer, ServesASessionThroughTheLinkAcrossReopens) {
    namespace fs = std::filesystem;
    char dirTemplate[] = "/tmp/collector-pty-XXXXXX";
    ASSERT_NE(mkdtemp(dirTemplate), nullptr);
    const fs::path dir = dirTemplate;
    const std::string link = (dir / "com5").string();
    std::ofstream(link) << "stale";  // a leftover the peer must replace

    std::string hostBytes;
    {
        PtyPeer peer(ParseCollectorScenario("code 42\n"), link);
        ASSERT_TRUE(fs::is_symlink(link));
        EXPECT_EQ(fs::read_symlink(link).string(), peer.SlavePath());

        int port = open(link.c_str(), O_RDWR | O_NOCTTY);
        ASSERT_GE(port, 0);
        WriteString(port, kAttention + kWake);
        EXPECT_EQ(ReadAtMost(port, 1), "\x0f");
        close(port);  // the host may reopen the port between steps

        port = open(link.c_str(), O_RDWR | O_NOCTTY);
        ASSERT_GE(port, 0);
        WriteString(port, "GETD\r");
        EXPECT_EQ(ReadAtMost(port, 4), "NAK\r");
        WriteString(port, "GETD\r");
        EXPECT_EQ(ReadAtMost(port, 10), "ACK\rA4200\r");
        WriteString(port, "ACK\r");
        EXPECT_EQ(ReadAtMost(port, 5), "OVER\r");
        EXPECT_TRUE(peer.WaitFinished(std::chrono::seconds(1)));
        EXPECT_EQ(ReadAtMost(port, 1, std::chrono::milliseconds(50)), "") << "no echo, no extras";
        close(port);

        hostBytes = kAttention + kWake + "GETD\rGETD\rACK\r";
        EXPECT_EQ(peer.Received(), hostBytes);
        EXPECT_EQ(peer.BytesReceived(), hostBytes.size());
        EXPECT_EQ(peer.BytesSent(), 1u + 4 + 10 + 5);
        EXPECT_EQ(peer.State().acksReceived, 1u);
    }
    EXPECT_FALSE(fs::exists(fs::symlink_status(link))) << "link removed on destruction";
    fs::remove_all(dir);
}
