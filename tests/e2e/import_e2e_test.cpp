// Brenvik.exe, the target simulator and the UI driver as real Windows
// processes under Wine; the collector on a pseudo-terminal behind COM1.
#include <gtest/gtest.h>

#include <algorithm>

#include "ImportRun.h"
#include "WineSession.h"

namespace brenvik::e2e {
namespace {

using Codes = std::vector<std::string>;

std::string CodesScenario(const Codes& codes) {
    std::string scenario;
    for (const auto& code : codes) scenario += "code " + code + "\n";
    return scenario;
}

TEST(ImportEndToEnd, FeedsAcceptedCodesAndReportsTheCounts) {
    ImportSetup setup;
    setup.cut = true;
    setup.ignore = true;
    setup.refresh = true;
    setup.codeLength = 13;
    Codes accepted = {"5901234123457", "5901234123458", "4006381333931", "9780201379624",
                      "0000000000000", "1111111111111", "5012345678900"};
    setup.scenario = CodesScenario({accepted[0], accepted[1], "123", accepted[2], accepted[3], accepted[4],
                                    "12345678901", accepted[5], accepted[6]});
    ImportOutcome outcome = RunImport(setup);

    EXPECT_EQ(outcome.messages, std::vector<std::string>{SummaryText(9, 2)});
    EXPECT_TRUE(outcome.finished);
    Codes expected = accepted;
    expected.insert(expected.begin(), "-1");
    expected.push_back("-2");
    EXPECT_EQ(outcome.codes, expected);
    EXPECT_EQ(outcome.captionAfter, "Brenvik");
    // Refresh brackets the transfer with "-", "1", end ... "-", "2", end.
    ASSERT_GE(outcome.keyLog.size(), 6u);
    EXPECT_EQ(Codes(outcome.keyLog.begin(), outcome.keyLog.begin() + 3), (Codes{"45 0", "49 0", "13 1"}));
    EXPECT_EQ(Codes(outcome.keyLog.end() - 3, outcome.keyLog.end()), (Codes{"45 0", "50 0", "13 1"}));
    // Every data line was acknowledged, the rejected ones included.
    size_t acks = 0;
    for (size_t at = outcome.received.find("ACK\r"); at != std::string::npos; at = outcome.received.find("ACK\r", at + 1))
        ++acks;
    EXPECT_EQ(acks, 9u);
    // The journal of the transfer, byte for byte.
    EXPECT_EQ(outcome.journal,
              "Brenvik import from Kolektor danych (COM1)\r\n"
              "received 1: 5901234123457\r\nfed 1: 5901234123457\r\n"
              "received 2: 5901234123458\r\nfed 2: 5901234123458\r\n"
              "received 3: 123\r\nrejected 3: length 3, not 13\r\n"
              "received 4: 4006381333931\r\nfed 4: 4006381333931\r\n"
              "received 5: 9780201379624\r\nfed 5: 9780201379624\r\n"
              "received 6: 0000000000000\r\nfed 6: 0000000000000\r\n"
              "received 7: 12345678901\r\nrejected 7: length 11, not 13\r\n"
              "received 8: 1111111111111\r\nfed 8: 1111111111111\r\n"
              "received 9: 5012345678900\r\nfed 9: 5012345678900\r\n"
              "end: 9 received, 7 fed, 2 rejected\r\n");
}

TEST(ImportEdgeCases, NoTargetWindowNeverTouchesThePort) {
    ImportSetup setup;
    setup.targetPresent = false;
    setup.scenario = "code 1234567890\n";
    ImportOutcome outcome = RunImport(setup);
    EXPECT_EQ(outcome.messages, std::vector<std::string>{kTargetMissingText});
    EXPECT_EQ(outcome.received, "");
}

TEST(ImportEdgeCases, SecondWindowClassIsAcceptedWhenAlone) {
    ImportSetup setup;
    setup.secondTargetClass = true;
    setup.scenario = "code 1234567890\n";
    ImportOutcome outcome = RunImport(setup);
    EXPECT_EQ(outcome.codes, Codes{"1234567890"});
    EXPECT_EQ(outcome.messages, std::vector<std::string>{SummaryText(1, 0)});
}

TEST(ImportEdgeCases, CutAndIgnoreDecideOnAnElevenCharacterCode) {
    struct Case {
        bool cut, ignore;
        Codes fed;
        int rejected;
    };
    for (const Case& c : {Case{true, false, {"1234567890"}, 0}, Case{true, true, {"1234567890"}, 0},
                          Case{false, true, {}, 1}, Case{false, false, {"12345678901"}, 0}}) {
        SCOPED_TRACE(::testing::Message() << "cut " << c.cut << " ignore " << c.ignore);
        ImportSetup setup;
        setup.cut = c.cut;
        setup.ignore = c.ignore;
        setup.scenario = "line X12345678901YZ\\x0d\n";
        ImportOutcome outcome = RunImport(setup);
        EXPECT_EQ(outcome.codes, c.fed);
        EXPECT_EQ(outcome.messages, std::vector<std::string>{SummaryText(1, c.rejected)});
    }
}

TEST(ImportEdgeCases, LongCodesLowerCaseOverAndEmptyLines) {
    ImportSetup setup;
    setup.cut = true;
    std::string longCode;
    for (int i = 0; i < 300; ++i) longCode.push_back(static_cast<char>('0' + i % 10));
    setup.scenario = "code " + longCode + "\nline over\\x0d\nline \\x0d\ncode 1234567890\n";
    ImportOutcome outcome = RunImport(setup);
    EXPECT_EQ(outcome.codes, (Codes{longCode.substr(0, 10) + longCode.substr(265), "v", "", "1234567890"}));
    EXPECT_EQ(outcome.codes.front().size(), 45u);
    EXPECT_EQ(outcome.messages, std::vector<std::string>{SummaryText(4, 0)});
}

// Veltra II closed after its k-th code: the collector gets k acknowledgements
// (k + 1 if the window went while that line was typed), no code is counted
// that Veltra II did not receive, and the closing "-2" is not sent.
TEST(ImportEdgeCases, TargetClosedMidImportLeavesTheRestInTheCollector) {
    ImportSetup setup;
    setup.refresh = true;
    setup.targetClosesAfter = 4;  // "-1" and three codes
    setup.scenario = CodesScenario({"5901234123457", "4006381333931", "9780201379624", "5012345678900",
                                    "7622210449283", "8710398503137"});
    ImportOutcome outcome = RunImport(setup);
    ASSERT_EQ(outcome.codes.size(), 4u);
    EXPECT_EQ(outcome.codes.front(), "-1");
    size_t acks = 0;
    for (size_t at = outcome.received.find("ACK\r"); at != std::string::npos; at = outcome.received.find("ACK\r", at + 1))
        ++acks;
    EXPECT_TRUE(acks == 3 || acks == 4) << acks;
    EXPECT_EQ(outcome.messages, std::vector<std::string>{TargetVanishedText(3)});
    EXPECT_EQ(outcome.captionAfter, "Brenvik");
    EXPECT_TRUE(outcome.finished);
}

TEST(ImportEdgeCases, UnansweredDataRequestFeedsNoClosingRefresh) {
    ImportSetup setup;
    setup.refresh = true;
    setup.scenario = "no-getd-reply\ncode 1234567890\n";
    ImportOutcome outcome = RunImport(setup);
    EXPECT_EQ(outcome.messages, std::vector<std::string>{kCollectorSilentText});
    EXPECT_EQ(outcome.codes, Codes{"-1"});
}

TEST(ImportEdgeCases, CollectorFallingSilentEndsWithTheCountsSoFar) {
    ImportSetup setup;
    setup.scenario = "silent-after 3\nrepeat 6 code 1234567890\n";
    ImportOutcome outcome = RunImport(setup);
    EXPECT_EQ(outcome.codes, Codes(3, "1234567890"));
    EXPECT_EQ(outcome.messages, std::vector<std::string>{SummaryText(3, 0)});
}

TEST(ImportBadInput, UnknownPortNameEndsSilentlyWithoutSendingAnything) {
    ImportSetup setup;
    setup.comPort = "Nie ma takiego portu";
    setup.scenario = "code 1234567890\n";
    ImportOutcome outcome = RunImport(setup);
    EXPECT_TRUE(outcome.messages.empty());
    EXPECT_TRUE(outcome.finished);
    EXPECT_EQ(outcome.received, "");
    EXPECT_TRUE(outcome.codes.empty());
}

TEST(ImportBadInput, MissingDeviceEndsSilently) {
    ImportSetup setup;
    setup.comPort = "Kolektor danych (COM7)";  // installed, but its device is gone
    setup.portNumber = 7;
    ImportOutcome outcome = RunImport(setup);
    EXPECT_TRUE(outcome.messages.empty());
    EXPECT_TRUE(outcome.finished);
    EXPECT_TRUE(outcome.codes.empty());
}

TEST(ImportBadInput, CollectorThatNeverWakesGivesUpAfterFiftyAttempts) {
    ImportSetup setup;
    setup.scenario = "never-wake\ncode 1234567890\n";
    ImportOutcome outcome = RunImport(setup);
    EXPECT_TRUE(outcome.messages.empty());
    EXPECT_TRUE(outcome.finished);
    EXPECT_EQ(std::count(outcome.received.begin(), outcome.received.end(), '\x0f'), 50);
    EXPECT_GE(outcome.seconds, 4.5);
    EXPECT_LT(outcome.seconds, 30.0);  // bounded: no hang
}

TEST(ImportBadInput, GarbageAndBinaryBytesAreFedByteExact) {
    ImportSetup setup;
    setup.scenario = "garbage-between \"\\x00\\xff\\x07junk\"\ncode \\x01\\x80\\xb9\\xff\\x7f\ncode 12345\n";
    ImportOutcome outcome = RunImport(setup);
    // Garbage ahead of a line becomes part of it: the code is what the line
    // framing leaves over, byte for byte.
    ASSERT_EQ(outcome.codes.size(), 2u);
    EXPECT_EQ(outcome.codes[0], std::string("\xff\x07junkA\x01\x80\xb9\xff\x7f", 12));
    EXPECT_EQ(outcome.codes[1], std::string("\xff\x07junkA12345", 12));
    EXPECT_EQ(outcome.messages, std::vector<std::string>{SummaryText(2, 0)});
}

TEST(PortMapping, EveryPortOfTheSessionLeadsIntoTheSession) {
    WineSession& session = WineSession::Get();
    for (int n = 1; n <= 8; ++n) EXPECT_EQ(session.PortTarget(n), session.PortLink(n).string()) << "COM" << n;
    for (const auto& entry : std::filesystem::directory_iterator(session.Prefix() / "dosdevices")) {
        if (entry.path().filename().string().rfind("com", 0) != 0) continue;
        auto target = std::filesystem::read_symlink(entry.path()).string();
        EXPECT_EQ(target.find("/dev/ttyS"), std::string::npos) << entry.path();
    }
}

}  // namespace
}  // namespace brenvik::e2e
