#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "crash/mail/DnsMx.h"
#include "crash/mail/MxLookup.h"
#include "crash/mail/ReportMail.h"
#include "crash/mail/TCrashClientSocket.h"
#include "crash/options/TCrashModuleOptions.h"
#include "crash/report/CrashFailureLog.h"
#include "crash_mail_dns_reply.h"
#include "crash_mail_fake_network.h"
#include "crash_report_fakes.h"

namespace brenvik {
namespace {

namespace fs = std::filesystem;
using testing::DnsReplyBuilder;

const char* const kAccepted[] = {"220 ready\r\n", "250 hi\r\n", "250 reset\r\n", "250 from\r\n",
                                 "250 to\r\n",    "354 go\r\n", "250 queued\r\n"};

class FakeMailClient : public ReportMailClient {
public:
    bool mapiResult = false, mailtoResult = true;
    std::vector<std::string> calls;
    bool SendMapi(const std::string& recipients, const std::string& subject, const std::string& note,
                  const TReportAttachmentPaths& attachments) override {
        calls.push_back("mapi " + recipients + "|" + subject + "|" + note + "|" + fs::path(attachments[0]).filename().string());
        return mapiResult;
    }
    bool SendMailto(const std::string& recipients, const std::string& subject, const std::string& body,
                    const std::string& reportText, const std::string& steps) override {
        calls.push_back("mailto " + recipients + "|" + subject + "|" + body + "|" + reportText + "|" + steps);
        return mailtoResult;
    }
};

class CrashMailDeliveryTest : public ::testing::Test {
protected:
    CrashMailDeliveryTest()
        : folder_(fs::temp_directory_path() / ("crash_mail_delivery_" + std::to_string(::getpid()))),
          trace_("Brenvik.exe", [] { return TCrashDateTime{}; }),
          log_(trace_, memory_),
          options_("Brenvik.exe", false) {
        fs::create_directories(folder_);
        progress_.Recipient = [this](int i, int count) { recipients_.push_back(std::to_string(i) + "/" + std::to_string(count)); };
        progress_.Started = [this] { ++started_; };
        progress_.Finished = [this] { ++finished_; };
    }
    ~CrashMailDeliveryTest() override { fs::remove_all(folder_); }

    void AcceptConversations(int count) {
        for (int i = 0; i < count; ++i)
            for (const char* reply : kAccepted) net_.smtpReplies.push_back(reply);
    }
    // SMTP to one recipient, body "Hello", no progress dialog; the server accepts one mail.
    void OneQuietSmtpMail() {
        options_.SetSendMode(TCrashModuleOptions::kSendSmtpServer);
        options_.SetShowSendProgress(false);
        options_.SetMailRecipients("dev@x.test");
        options_.SetMailBody("Hello");
        AcceptConversations(1);
    }
    TSmtpSession Session() { return {net_, log_, progress_, texts_, [] { return std::string("DATE"); }}; }

    fs::path folder_;
    testing::FakeMailNetwork net_;
    TCrashTrace trace_;
    testing::FakeMemory memory_;
    TCrashFailureLog log_;
    TCrashModuleOptions options_;
    TMailProgress progress_;
    TSmtpStatusTexts texts_;
    std::vector<std::string> recipients_;
    int started_ = 0, finished_ = 0;
};

TEST_F(CrashMailDeliveryTest, EachRecipientGetsItsOwnConversation) {
    AcceptConversations(1);
    net_.smtpReplies.insert(net_.smtpReplies.end(), {"220 ready\r\n", "250 hi\r\n", "250 r\r\n", "250 f\r\n", "550 no\r\n"});
    TSmtpSession session = Session();
    const TSmtpReport report{false, "from@x.test", {"127.0.0.1", 25}, "a@x.test; b@y.test;", "S", "Body", {}};
    EXPECT_TRUE(SendReportSmtp(session, report, {}));
    ASSERT_EQ(net_.messages.size(), 1u);
    EXPECT_NE(net_.messages[0].find("To: <a@x.test>\r\n"), std::string::npos);
    EXPECT_EQ(net_.commands.back(), "RCPT TO:<b@y.test>");
    EXPECT_EQ(recipients_, (std::vector<std::string>{"1/2", "2/2"}));
    EXPECT_EQ(log_.LastErrorMessage().substr(0, 8), "[SMTP] C");
    EXPECT_EQ(finished_, 1);
}

TEST_F(CrashMailDeliveryTest, DirectModeAsksEachServerForTheLowestPreferenceHost) {
    net_.dnsReplies["10.0.0.1"] = DnsReplyBuilder(0).Bytes();
    net_.dnsReplies["10.0.0.2"] = DnsReplyBuilder(2)
                                      .Mx(20, DnsReplyBuilder::Labels("192.0.2.20"))
                                      .Mx(10, DnsReplyBuilder::Labels("192.0.2.10"))
                                      .Bytes();
    AcceptConversations(1);
    TSmtpSession session = Session();
    const TSmtpReport report{true, "from@x.test", {"ignored", 2525}, "dev@example.test", "S", "B", {}};
    EXPECT_TRUE(SendReportSmtp(session, report, {" ", "0.0.0.0", "10.0.0.1", "10.0.0.2"}));
    EXPECT_EQ(net_.dnsAsked, (std::vector<std::string>{"10.0.0.1", "10.0.0.2"}));
    EXPECT_EQ(net_.queries[0], BuildMxQuery("example.test"));
    EXPECT_EQ(net_.LastServer(), "192.0.2.10");
    EXPECT_EQ(net_.messages.size(), 1u);
}

TEST_F(CrashMailDeliveryTest, NoMxHostEndsTheDeliveryWithTheDomainNamed) {
    net_.dnsReplies["10.0.0.1"] = DnsReplyBuilder(0).Bytes();
    TSmtpSession session = Session();
    const TSmtpReport report{true, "f@x.test", {"", 25}, "dev@nowhere.test, other@x.test", "S", "B", {}};
    EXPECT_FALSE(SendReportSmtp(session, report, {"10.0.0.1"}));
    EXPECT_EQ(log_.LastErrorCode(), eeEmailSMTPError);
    EXPECT_EQ(log_.LastErrorMessage(), "[SMTP] Cannot resolve the \"nowhere.test\" MX record.");
    EXPECT_EQ(net_.dnsAsked.size(), 1u);  // the second recipient is skipped
    EXPECT_EQ(finished_, 1);

    // A server that never answers ends the look-up with the timeout.
    EXPECT_THROW(ResolveMxHost(net_, "x@y.test", {"10.9.9.9"}, 3000), ECrashSocketError);
}

TEST_F(CrashMailDeliveryTest, AttachmentsGoAsBase64PartsAndTheReportFileIsRemoved) {
    options_.SetSendMode(TCrashModuleOptions::kSendSmtpServer);
    options_.SetSmtpServer("127.0.0.1");
    options_.SetMailRecipients("dev@x.test");
    options_.SetMailBody("Hello");
    options_.SetShowSendProgress(true);
    const fs::path shot = folder_ / "Screenshot.png";
    std::ofstream(shot, std::ios::binary) << "PNG";
    AcceptConversations(1);
    TSmtpSession session = Session();
    FakeMailClient client;
    TReportMailJob job{"line 1\nline 2", "", (folder_ / "Brenvik.clog").string(), shot.string(), {}, {}, {}};
    EXPECT_TRUE(SendReportMail(options_, job, session, client, {}));
    ASSERT_EQ(net_.messages.size(), 1u);
    const std::string& message = net_.messages[0];
    EXPECT_NE(message.find("Hello\r\n\r\n--"), std::string::npos);
    EXPECT_NE(message.find("filename=\"Brenvik.clog\"\r\n\r\nbGluZSAxDQpsaW5lIDINCg==\r\n"), std::string::npos);
    EXPECT_NE(message.find("Content-Type: image/png;\r\n        name=\"Screenshot.png\""), std::string::npos);
    EXPECT_LT(message.find("Brenvik.clog"), message.find("Screenshot.png"));
    EXPECT_FALSE(fs::exists(folder_ / "Brenvik.clog"));
    EXPECT_TRUE(client.calls.empty());
    EXPECT_EQ(started_, 1);
    EXPECT_EQ(finished_, 1);
}

TEST_F(CrashMailDeliveryTest, ReportInBodyAttachesNoTextFile) {
    OneQuietSmtpMail();
    options_.SetReportInBody(true);
    TSmtpSession session = Session();
    FakeMailClient client;
    TReportMailJob job{"the report", "", (folder_ / "Brenvik.clog").string(), (folder_ / "none.png").string(), {}, {}, {}};
    EXPECT_TRUE(SendReportMail(options_, job, session, client, {}));
    ASSERT_EQ(net_.messages.size(), 1u);
    EXPECT_NE(net_.messages[0].find("Hello\r\n\r\n\r\nthe report\r\n--=_"), std::string::npos);
    EXPECT_EQ(net_.messages[0].find("attachment"), std::string::npos);
    EXPECT_EQ(started_, 0);
    EXPECT_EQ(finished_, 1);
}

TEST_F(CrashMailDeliveryTest, AReportFileThatCannotBeWrittenTravelsInTheBody) {
    OneQuietSmtpMail();
    TSmtpSession session = Session();
    FakeMailClient client;
    TReportMailJob job{"the report", "", (folder_ / "no such folder" / "Brenvik.clog").string(), "", {}, {}, {}};
    EXPECT_TRUE(SendReportMail(options_, job, session, client, {}));
    ASSERT_EQ(net_.messages.size(), 1u);
    EXPECT_NE(net_.messages[0].find("Hello\r\n\r\n\r\nthe report\r\n"), std::string::npos);
    EXPECT_EQ(net_.messages[0].find("attachment"), std::string::npos);
}

TEST_F(CrashMailDeliveryTest, MailClientModeFallsBackToMailtoAndRetriesWhenAsked) {
    options_.SetSendMode(TCrashModuleOptions::kSendMailClient);
    options_.SetMailRecipients("dev@x.test");
    options_.SetMailSubject("Subj");
    options_.SetMailBody("Body");
    FakeMailClient client;
    client.mailtoResult = false;
    int failures = 0, after = 0;
    TReportMailJob job{"report", "steps", (folder_ / "Brenvik.clog").string(), "", {},
                       [&](bool& retry) { retry = ++failures < 2; }, [&] { ++after; }};
    TSmtpSession session = Session();
    EXPECT_FALSE(SendReportMail(options_, job, session, client, {}));
    EXPECT_EQ(started_ + finished_, 0);  // no progress display without SMTP
    EXPECT_EQ(failures, 2);
    EXPECT_EQ(after, 1);
    ASSERT_EQ(client.calls.size(), 4u);
    EXPECT_EQ(client.calls[0], "mapi dev@x.test|Subj|Body|Brenvik.clog");
    EXPECT_EQ(client.calls[1], "mailto dev@x.test|Subj|Body|report|steps");

    client.calls.clear();
    job.BeforeSend = [](bool& send) { send = false; };
    EXPECT_FALSE(SendReportMail(options_, job, session, client, {}));
    EXPECT_TRUE(client.calls.empty());
    EXPECT_FALSE(fs::exists(folder_ / "Brenvik.clog"));
}

TEST_F(CrashMailDeliveryTest, StatusTextsComeFromTheOptions) {
    const TSmtpStatusTexts texts = SmtpStatusTexts(options_);
    EXPECT_EQ(texts.Resolving, "Resolving MX record...");
    EXPECT_EQ(texts.Connecting, "Connecting with SMTP server...");
    EXPECT_EQ(texts.Connected, "Connected with SMTP server.");
    EXPECT_EQ(texts.Sending, "Sending message...");
}

}  // namespace
}  // namespace brenvik
