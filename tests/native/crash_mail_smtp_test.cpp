#include <gtest/gtest.h>

#include "crash/mail/Base64.h"
#include "crash/mail/SmtpMessage.h"
#include "crash/mail/TCrashClientSMTP.h"
#include "crash/report/CrashFailureLog.h"
#include "crash_mail_fake_network.h"
#include "crash_report_fakes.h"

namespace brenvik {
namespace {

class CrashMailSmtpTest : public ::testing::Test {
protected:
    CrashMailSmtpTest() : trace_("Brenvik.exe", [] { return TCrashDateTime{}; }), log_(trace_, memory_) {
        progress_.Status = [this](const std::string& text) { statuses_.push_back(text); };
        progress_.Position = [this](int percent) { positions_.push_back(percent); };
    }

    bool Send(const TSmtpServer& server, const std::string& body = "Report") {
        TSmtpSession session{net_, log_, progress_, texts_, [] { return std::string("DATE"); }};
        return SendSmtpMessage(session, server, "from@x.test", "to@y.test", "Subject", body, {});
    }
    void Script(std::initializer_list<const char*> replies) {
        for (const char* reply : replies) net_.smtpReplies.push_back(reply);
    }

    testing::FakeMailNetwork net_;
    TCrashTrace trace_;
    testing::FakeMemory memory_;
    TCrashFailureLog log_;
    TMailProgress progress_;
    TSmtpStatusTexts texts_;
    std::vector<std::string> statuses_;
    std::vector<int> positions_;
};

TEST_F(CrashMailSmtpTest, HeloConversationDeliversTheMessageWithoutQuit) {
    Script({"220 ready\r\n", "250 hi\r\n", "250 reset\r\n", "250 from\r\n", "250 to\r\n", "354 go\r\n",
            "250 queued\r\n"});
    ASSERT_TRUE(Send({"mail.test", 2525}));
    EXPECT_EQ(net_.commands, (std::vector<std::string>{"HELO testhost", "RSET", "MAIL FROM:<from@x.test>",
                                                       "RCPT TO:<to@y.test>", "DATA"}));
    ASSERT_EQ(net_.messages.size(), 1u);
    EXPECT_EQ(net_.messages[0] + ".", BuildSmtpMessage({"DATE", "from@x.test", "Subject", "to@y.test", "Report"}, {}));
    EXPECT_EQ(statuses_, (std::vector<std::string>{texts_.Connecting, texts_.Connected, texts_.Sending}));
    EXPECT_EQ(positions_.back(), 100);
    EXPECT_EQ(log_.LastErrorCode(), eeNone);
    EXPECT_EQ(net_.closed, 1);
    EXPECT_EQ(net_.startups, net_.cleanups);
}

TEST_F(CrashMailSmtpTest, AuthLoginSendsUserAndPasswordInBase64) {
    Script({"220 ready\r\n", "250-hi\r\n250 AUTH LOGIN\r\n", "250 reset\r\n", "334 VXNlcm5hbWU6\r\n",
            "334 UGFzc3dvcmQ6\r\n", "235 ok\r\n", "250 from\r\n", "251 forwarded\r\n", "354 go\r\n", "250 queued\r\n"});
    ASSERT_TRUE(Send({"mail.test", 25, "user", "secret"}));
    EXPECT_EQ(net_.commands, (std::vector<std::string>{"EHLO testhost", "RSET", "AUTH LOGIN", "dXNlcg==",
                                                       "c2VjcmV0", "MAIL FROM:<from@x.test>", "RCPT TO:<to@y.test>",
                                                       "DATA"}));
    EXPECT_EQ(net_.messages.size(), 1u);
}

TEST_F(CrashMailSmtpTest, LongCredentialsStayOneLineEach) {
    Script({"220 ready\r\n", "250 hi\r\n", "250 reset\r\n", "334 u\r\n", "334 p\r\n", "235 ok\r\n",
            "250 from\r\n", "250 to\r\n", "354 go\r\n", "250 queued\r\n"});
    const std::string user(61, 'u');
    ASSERT_TRUE(Send({"mail.test", 25, user, "p"}));
    const std::string encoded = EncodeBase64Lines(user);
    EXPECT_EQ(net_.commands[3], encoded.substr(0, 80) + encoded.substr(82, 4));
    EXPECT_EQ(net_.commands[4], "cA==");
}

TEST_F(CrashMailSmtpTest, UserWithEmptyPasswordStopsAfterTheUserLineSilently) {
    Script({"220 ready\r\n", "250 hi\r\n", "250 reset\r\n", "334 user\r\n", "334 pass\r\n"});
    EXPECT_FALSE(Send({"mail.test", 25, "user", ""}));
    EXPECT_EQ(net_.commands.back(), "dXNlcg==");
    EXPECT_EQ(net_.commands.size(), 4u);
    EXPECT_EQ(log_.LastErrorCode(), eeNone);
}

TEST_F(CrashMailSmtpTest, FailuresAreRecordedAsSmtpErrors) {
    Script({"554 go away\r\n"});
    EXPECT_FALSE(Send({"127.0.0.1", 25}));
    EXPECT_EQ(log_.LastErrorCode(), eeEmailSMTPError);
    EXPECT_EQ(log_.LastErrorMessage(), "[SMTP] Connected to 127.0.0.1 port 25\r\n554 go away\r\n");

    Script({"220 ready\r\n", "250 hi\r\n", "250 reset\r\n", "250 from\r\n", "550 no such user\r\n"});
    EXPECT_FALSE(Send({"127.0.0.1", 25}));
    EXPECT_EQ(log_.LastErrorMessage(),
              "[SMTP] Connected to 127.0.0.1 port 25\r\n220 ready\r\nHELO testhost\r\n250 hi\r\nRSET\r\n250 reset\r\n"
              "MAIL FROM:<from@x.test>\r\n250 from\r\nRCPT TO:<to@y.test>\r\n550 no such user\r\n");

    net_.refuse = true;
    EXPECT_FALSE(Send({"127.0.0.1", 25}));
    EXPECT_EQ(log_.LastErrorMessage(), "[SMTP] Connection error: \"error 10061\"");

    net_.refuse = false;
    const int connections = net_.connections;
    EXPECT_FALSE(Send({"mail.invalid", 25}));
    EXPECT_EQ(log_.LastErrorMessage(), "[SMTP] Connection error: \"error 11001\"");
    EXPECT_EQ(net_.connections, connections);  // 0.0.0.0 was not tried

    Script({"hello\r\n"});
    EXPECT_FALSE(Send({"127.0.0.1", 25}));
    EXPECT_EQ(log_.LastErrorMessage(), "[SMTP] Invalid SMTP reply: \"hello\"");
}

TEST_F(CrashMailSmtpTest, SilentServerTimesOutAfterTheTimeout) {
    const std::uint32_t start = net_.now;
    EXPECT_FALSE(Send({"127.0.0.1", 25, "", "", 5000}));
    EXPECT_EQ(log_.LastErrorMessage(), "[SMTP] Socket timeout.");
    EXPECT_GE(net_.now - start, 5000u);
    EXPECT_LT(net_.now - start, 5100u);
}

TEST_F(CrashMailSmtpTest, PeerThatNeverStopsSendingEndsAfterTheTimeout) {
    net_.endless = true;
    const std::uint32_t start = net_.now;
    EXPECT_FALSE(Send({"127.0.0.1", 25, "", "", 2000}));
    EXPECT_EQ(log_.LastErrorMessage(), "[SMTP] Invalid SMTP reply: \"" + std::string(64, 'x') + "\"");
    EXPECT_LE(net_.now - start, 2001u);
}

TEST_F(CrashMailSmtpTest, ReportLineWithASingleDotDoesNotEndTheMessage) {
    Script({"220 ready\r\n", "250 hi\r\n", "250 reset\r\n", "250 from\r\n", "250 to\r\n", "354 go\r\n",
            "250 queued\r\n"});
    ASSERT_TRUE(Send({"mail.test", 25}, "first\r\n.\r\nafter the dot"));
    ASSERT_EQ(net_.messages.size(), 1u);
    EXPECT_NE(net_.messages[0].find("first\r\n..\r\nafter the dot\r\n"), std::string::npos);
    EXPECT_NE(net_.messages[0].find("--=_xcjvnxkbhvfkxzhfdbvzldjhfv--"), std::string::npos);
}

TEST_F(CrashMailSmtpTest, SendTextGoesIn1024BytePiecesWithProgress) {
    Script({"220 ready\r\n"});
    TCrashClientSMTP client(net_, "127.0.0.1", 25, true, 1000);
    client.Connect();
    std::vector<std::pair<std::size_t, std::size_t>> pieces;
    client.OnProgress = [&](TCrashClientSocket&, std::size_t position, std::size_t total) {
        pieces.emplace_back(position, total);
    };
    EXPECT_EQ(client.SendText(std::string(2500, 'a')), 2500u);
    EXPECT_EQ(pieces, (std::vector<std::pair<std::size_t, std::size_t>>{{1024, 2500}, {2048, 2500}, {2500, 2500}}));
    EXPECT_FALSE(client.SendCommand("", {250}));
    EXPECT_TRUE(client.Connected());
    client.Disconnect();
    EXPECT_TRUE(client.Transcript.empty());
    EXPECT_EQ(client.SendText("late"), 0u);
}

TEST_F(CrashMailSmtpTest, ErrorsReachOnErrorAndSilentRaisesTheAbort) {
    net_.refuse = true;
    TCrashClientSocket client(net_, "127.0.0.1", 25, true, 1000);
    std::vector<std::string> seen;
    client.OnError = [&](TCrashClientSocket&, int code, const std::string& message) {
        seen.push_back(std::to_string(code) + " " + message);
    };
    EXPECT_THROW(client.Connect(), ECrashSocketError);
    client.Silent = true;
    EXPECT_THROW(client.Connect(), EAbort);
    EXPECT_EQ(seen, (std::vector<std::string>(2, "-1 Connection error: \"error 10061\"")));
    EXPECT_EQ(net_.closed, 2);  // a socket that failed to connect is not leaked
}

}  // namespace
}  // namespace brenvik
