#include <gtest/gtest.h>

#include <regex>

#include "crash/mail/MxLookup.h"
#include "crash/mail/ReportMail.h"
#include "crash/mail/TCrashClientSocket.h"
#include "crash/options/TCrashModuleOptions.h"
#include "crash_mail_wine_support.h"
#include "crash/win32/Win32CrashSocketApi.h"
#include "crash/win32/Win32CrashSocketReportMail.h"

namespace brenvik {
namespace {

namespace fs = std::filesystem;

// Talks to the servers that scripts/mail_wine_tests.sh starts in its network
// namespace; skipped when run outside it.
class CrashMailWineSmtp : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string spool = testing::Environment("BRENVIK_MAIL_SPOOL");
        if (spool.empty()) GTEST_SKIP() << "needs the mail servers of scripts/mail_wine_tests.sh";
        spool_ = testing::UnixPath(spool);
        work_ = fs::temp_directory_path() / ("brenvik-mail-" + std::to_string(GetCurrentProcessId()));
        fs::create_directories(work_);
    }
    void TearDown() override {
        if (!work_.empty()) fs::remove_all(work_);
    }

    // Folders of the mails the servers stored for a subject, oldest first.
    std::vector<fs::path> Received(const std::string& subject) const {
        std::vector<fs::path> found;
        for (const auto& entry : fs::directory_iterator(spool_))
            if (entry.path().filename().string().rfind(subject + "-", 0) == 0) found.push_back(entry.path());
        std::sort(found.begin(), found.end(), [](const fs::path& a, const fs::path& b) {
            return std::stoi(a.filename().string().substr(a.filename().string().rfind('-') + 1)) <
                   std::stoi(b.filename().string().substr(b.filename().string().rfind('-') + 1));
        });
        return found;
    }

    bool Smtp(const TSmtpReport& report, std::vector<std::string> dns = {}) {
        TSmtpSession session{sockets_, failures_.Log, progress_, texts_, [] { return std::string("Wed, 9 Dec 2026 04:05:06 +0000"); }};
        return SendReportSmtp(session, report, dns);
    }

    fs::path spool_, work_;
    Win32CrashSocketApi sockets_;
    testing::TestFailureLog failures_;
    TMailProgress progress_;
    TSmtpStatusTexts texts_;
};

TEST_F(CrashMailWineSmtp, ReportAndScreenshotArriveByteForByteOncePerRecipient) {
    TCrashModuleOptions options("Brenvik.exe", false);
    options.SetSendMode(TCrashModuleOptions::kSendSmtpServer);
    options.SetSmtpServer("127.0.0.1");
    options.SetSmtpPort(25);
    options.SetSmtpFrom("crash@brenvik.test");
    options.SetMailRecipients("first@brenvik.test;second@brenvik.test");
    options.SetMailSubject("roundtrip");
    options.SetMailBody("Please look at this report.");
    std::string shot;
    for (int i = 0; i < 5000; ++i) shot += static_cast<char>(i * 7 % 256);
    const fs::path shotPath = work_ / "Screenshot.png";
    std::ofstream(shotPath, std::ios::binary) << shot;
    const std::string report = "Exception: EAccessViolation\r\n.\r\nAfter the lone dot & ? # %\r\n..two dots";

    int lastPercent = -1;
    progress_.Position = [&](int percent) { lastPercent = percent; };
    const TReportMailJob job{report, "", MailTemporaryFolder() + "Brenvik.clog", shotPath.string(), {}, {}, {}};
    ASSERT_TRUE(SendReportMailWin32(options, job, failures_.Log, progress_)) << failures_.Log.LastErrorMessage();
    EXPECT_EQ(failures_.Log.LastErrorCode(), eeNone);
    EXPECT_EQ(lastPercent, 100);

    const std::vector<fs::path> mails = Received("roundtrip");
    ASSERT_EQ(mails.size(), 2u);
    EXPECT_EQ(testing::ReadFileBytes(mails[0] / "to.txt"), "<first@brenvik.test>");
    EXPECT_EQ(testing::ReadFileBytes(mails[1] / "to.txt"), "<second@brenvik.test>");
    for (const fs::path& mail : mails) {
        EXPECT_EQ(testing::ReadFileBytes(mail / "body.txt"), "Please look at this report.\r\n");
        EXPECT_EQ(testing::ReadFileBytes(mail / "Brenvik.clog"), report + "\r\n");
        EXPECT_EQ(testing::ReadFileBytes(mail / "Screenshot.png"), shot);
        const std::string message = testing::ReadFileBytes(mail / "message.eml");
        EXPECT_NE(message.find("X-Library: Crashlog 4.5.4\r\n"), std::string::npos);
        EXPECT_TRUE(std::regex_search(message, std::regex("^Date: (Sun|Mon|Tue|Wed|Thu|Fri|Sat), [1-9][0-9]? "
                                                          "[A-Z][a-z][a-z] 20[0-9][0-9] [0-2][0-9]:[0-5][0-9]:"
                                                          "[0-5][0-9] [+-][0-9]{2}00\r\n")))
            << message.substr(0, 60);
    }
    EXPECT_FALSE(fs::exists(MailTemporaryFolder() + "Brenvik.clog"));
}

TEST_F(CrashMailWineSmtp, AuthLoginWithUserAndPassword) {
    ASSERT_TRUE(Smtp({false, "crash@brenvik.test", {"127.0.0.1", 587, "reporter", "s3cret"}, "dev@brenvik.test",
                      "authenticated", "Body", {}}))
        << failures_.Log.LastErrorMessage();
    const std::vector<fs::path> mails = Received("authenticated");
    ASSERT_EQ(mails.size(), 1u);
    EXPECT_EQ(testing::ReadFileBytes(mails[0] / "envelope.txt"),
              "from=crash@brenvik.test\nto=dev@brenvik.test\nuser=reporter\n");

    EXPECT_FALSE(Smtp({false, "crash@brenvik.test", {"127.0.0.1", 587, "reporter", "wrong"}, "dev@brenvik.test",
                       "refused", "Body", {}}));
    EXPECT_EQ(failures_.Log.LastErrorCode(), eeEmailSMTPError);
    EXPECT_EQ(failures_.Log.LastErrorMessage().rfind("[SMTP] Connected to 127.0.0.1 port 587\r\n220 ", 0), 0u);
    EXPECT_NE(failures_.Log.LastErrorMessage().find("\r\n535 "), std::string::npos);
}

TEST_F(CrashMailWineSmtp, UserWithoutPasswordStopsSilently) {
    EXPECT_FALSE(Smtp({false, "crash@brenvik.test", {"127.0.0.1", 587, "reporter", ""}, "dev@brenvik.test",
                       "nopassword", "Body", {}}));
    EXPECT_EQ(failures_.Log.LastErrorCode(), eeNone);
    EXPECT_TRUE(Received("nopassword").empty());
}

TEST_F(CrashMailWineSmtp, FailingServersAreRecordedWithTheirReason) {
    EXPECT_FALSE(Smtp({false, "c@brenvik.test", {"127.0.0.1", 2554}, "d@brenvik.test", "s", "b", {}}));
    EXPECT_EQ(failures_.Log.LastErrorCode(), eeEmailSMTPError);
    EXPECT_EQ(failures_.Log.LastErrorMessage(), "[SMTP] Connected to 127.0.0.1 port 2554\r\n554 No SMTP service here\r\n");

    const DWORD start = GetTickCount();
    EXPECT_FALSE(Smtp({false, "c@brenvik.test", {"127.0.0.1", 2999, "", "", 1500}, "d@brenvik.test", "s", "b", {}}));
    EXPECT_EQ(failures_.Log.LastErrorMessage(), "[SMTP] Socket timeout.");
    EXPECT_GE(GetTickCount() - start, 1500u);

    EXPECT_FALSE(Smtp({false, "c@brenvik.test", {"127.0.0.1", 2998}, "d@brenvik.test", "s", "b", {}}));
    EXPECT_EQ(failures_.Log.LastErrorMessage().rfind("[SMTP] Connection error: \"", 0), 0u)
        << failures_.Log.LastErrorMessage();

    // A name without an address fails instead of reaching the server on 0.0.0.0.
    EXPECT_FALSE(Smtp({false, "c@brenvik.test", {"nowhere.brenvik.test", 25}, "d@brenvik.test", "unresolved", "b", {}}));
    EXPECT_EQ(failures_.Log.LastErrorMessage().rfind("[SMTP] Connection error: \"", 0), 0u)
        << failures_.Log.LastErrorMessage();
    EXPECT_TRUE(Received("unresolved").empty());
}

TEST_F(CrashMailWineSmtp, DirectModeDeliversToTheLowestPreferenceMxHost) {
    const std::vector<std::string> servers = MxDnsServers();
    ASSERT_GE(servers.size(), 2u);
    EXPECT_EQ(servers.front(), "127.0.0.1");
    EXPECT_EQ(servers.back(), kFallbackDnsServer);
    EXPECT_EQ(ResolveMxHost(sockets_, "dev@mx.brenvik.test", servers), "near.brenvik.test");

    ASSERT_TRUE(Smtp({true, "crash@brenvik.test", {"", 25}, "dev@mx.brenvik.test", "direct", "Body", {}}, servers))
        << failures_.Log.LastErrorMessage();
    EXPECT_EQ(Received("direct").size(), 1u);
}

TEST_F(CrashMailWineSmtp, DomainsWithoutMxAskTheNextServerThenFail) {
    const std::vector<std::string> servers = MxDnsServers();
    EXPECT_EQ(ResolveMxHost(sockets_, "dev@fallback.brenvik.test", servers), "near.brenvik.test");
    try {
        ResolveMxHost(sockets_, "nomx.brenvik.test", servers);
        ADD_FAILURE() << "no exception";
    } catch (const ECrashSocketError& error) {
        EXPECT_EQ(error.Message, "Cannot resolve the \"nomx.brenvik.test\" MX record.");
    }
    EXPECT_FALSE(Smtp({true, "crash@brenvik.test", {"", 25}, "dev@nomx.brenvik.test", "nomx", "Body", {}}, servers));
    EXPECT_EQ(failures_.Log.LastErrorMessage(), "[SMTP] Cannot resolve the \"nomx.brenvik.test\" MX record.");
}

}  // namespace
}  // namespace brenvik
