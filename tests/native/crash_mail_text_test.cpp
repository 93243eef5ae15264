#include <gtest/gtest.h>

#include "crash/mail/Base64.h"
#include "crash/mail/MailDate.h"
#include "crash/mail/MailMessage.h"
#include "crash/mail/MailRecipients.h"
#include "crash/mail/MailtoAddress.h"

namespace brenvik {
namespace {

TEST(CrashMailBase64, EncodesGroupsPaddingAndLines) {
    EXPECT_EQ(EncodeBase64Lines(""), "");
    EXPECT_EQ(EncodeBase64Lines("M"), "TQ==\r\n");
    EXPECT_EQ(EncodeBase64Lines("Ma"), "TWE=\r\n");
    EXPECT_EQ(EncodeBase64Lines("Man"), "TWFu\r\n");
    EXPECT_EQ(EncodeBase64Lines(std::string("\xFB\xFF\x00", 3)), "+/8A\r\n");

    const std::string full = EncodeBase64Lines(std::string(60, 'x'));
    EXPECT_EQ(full.size(), 82u);
    EXPECT_EQ(full.substr(80), "\r\n");

    const std::string longer = EncodeBase64Lines(std::string(61, '\0'));
    EXPECT_EQ(longer, std::string(80, 'A') + "\r\nAA==\r\n");
    EXPECT_EQ(EncodeBase64Lines(std::string(120, 'x')).size(), 164u);
}

TEST(CrashMailDate, ZoneIsTheNegatedStandardBiasInWholeHours) {
    EXPECT_EQ(MailZoneText(-60), "+0100");
    EXPECT_EQ(MailZoneText(300), "-0500");
    EXPECT_EQ(MailZoneText(0), "+0000");
    EXPECT_EQ(MailZoneText(-600), "+1000");
    EXPECT_EQ(MailZoneText(-330), "+0500");  // +5:30 truncated
    EXPECT_EQ(MailZoneText(720), "-1200");
    EXPECT_EQ(FormatMailDate({2026, 12, 9, 3, 4, 5, 6}, -60), "Wed, 9 Dec 2026 04:05:06 +0100");
    EXPECT_EQ(FormatMailDate({2027, 1, 31, 0, 23, 59, 0}, 300), "Sun, 31 Jan 2027 23:59:00 -0500");
}

TEST(CrashMailMessage, TextIsByteExact) {
    const TMailEnvelope envelope{"Wed, 9 Dec 2026 04:05:06 +0100", "bugs@brenvik.test", "Crash", "dev@x.test",
                                 "Report"};
    const std::string message = BuildSmtpMessage(envelope, {{"Screenshot.png", "abc"}, {"Brenvik.clog", ""}});
    const std::string expected =
        "Date: Wed, 9 Dec 2026 04:05:06 +0100\r\n"
        "From: <bugs@brenvik.test>\r\n"
        "Subject: Crash\r\n"
        "To: <dev@x.test>\r\n"
        "Content-Type: multipart/mixed; boundary=\"=_xcjvnxkbhvfkxzhfdbvzldjhfv\";\r\n"
        "MIME-Version: 1.0\r\n"
        "X-Priority: 1\r\n"
        "X-Library: Crashlog 4.5.4\r\n"
        "\r\n"
        "This is a multi-part message in MIME format\r\n\r\n"
        "--=_xcjvnxkbhvfkxzhfdbvzldjhfv\r\n"
        "Content-Type: text/plain\r\n"
        "Content-Transfer-Encoding: 7bit\r\n\r\n"
        "Report\r\n"
        "\r\n--=_xcjvnxkbhvfkxzhfdbvzldjhfv\r\n"
        "Content-Type: image/png;\r\n"
        "        name=\"Screenshot.png\"\r\n"
        "Content-Transfer-Encoding: base64\r\n"
        "Content-Disposition: attachment;\r\n"
        "        filename=\"Screenshot.png\"\r\n"
        "\r\n"
        "YWJj\r\n"
        "\r\n--=_xcjvnxkbhvfkxzhfdbvzldjhfv\r\n"
        "Content-Type: application/octet-stream;\r\n"
        "        name=\"Brenvik.clog\"\r\n"
        "Content-Transfer-Encoding: base64\r\n"
        "Content-Disposition: attachment;\r\n"
        "        filename=\"Brenvik.clog\"\r\n"
        "\r\n"
        "--=_xcjvnxkbhvfkxzhfdbvzldjhfv--\r\n"
        ".";
    EXPECT_EQ(message, expected);
}

TEST(CrashMailMessage, LinesStartingWithADotAreDoubled) {
    EXPECT_EQ(StuffLeadingDots(".\r\nab.\r\n..x\r\n.\n."), "..\r\nab.\r\n...x\r\n..\n..");
    const std::string message = BuildSmtpMessage({"d", "s", "t", "r", "line\r\n.\r\nrest"}, {});
    EXPECT_NE(message.find("line\r\n..\r\nrest\r\n"), std::string::npos);
    EXPECT_EQ(message.find("\r\n.\r\n"), std::string::npos);  // no early end of the data
}

TEST(CrashMailMessage, ContentTypeAndFileNameFromThePath) {
    EXPECT_EQ(AttachmentContentType("shot.PnG"), "image/png");
    EXPECT_EQ(AttachmentContentType("png"), "application/octet-stream");
    EXPECT_EQ(AttachmentContentType("a.png.txt"), "application/octet-stream");
    EXPECT_EQ(PathFileName("C:\\Temp\\Brenvik.clog"), "Brenvik.clog");
    EXPECT_EQ(PathFileName("/tmp/x/Screenshot.png"), "Screenshot.png");
    EXPECT_EQ(PathFileName("plain"), "plain");
}

TEST(CrashMailRecipients, SplitsAtCommasAndSemicolonsTrimmed) {
    EXPECT_EQ(SplitMailRecipients(" a@x.pl ; b@y.pl,c@z.pl;"),
              (std::vector<std::string>{"a@x.pl", "b@y.pl", "c@z.pl"}));
    EXPECT_TRUE(SplitMailRecipients("").empty());
    EXPECT_TRUE(SplitMailRecipients(" ; ").empty());
    EXPECT_EQ(SplitMailRecipients("a@x.pl,,b@y.pl"), (std::vector<std::string>{"a@x.pl", "b@y.pl"}));
}

TEST(CrashMailMailto, EveryFieldIsPercentEncoded) {
    EXPECT_EQ(PercentEncodeMailto("a&b?c#d%e=f g\r\n"), "a%26b%3Fc%23d%25e%3Df%20g%0D%0A");
    EXPECT_EQ(PercentEncodeMailto("x.y-z_~@q\xB9"), "x.y-z_~@q%C4%85");  // "ą"
    // "Zażółć gęślą jaźń" and the euro sign, as mail clients read them.
    EXPECT_EQ(PercentEncodeMailto("Za\xBF\xF3\xB3\xE6 g\xEA\x9Cl\xB9 ja\x9F\xF1 \x80"),
              "Za%C5%BC%C3%B3%C5%82%C4%87%20g%C4%99%C5%9Bl%C4%85%20ja%C5%BA%C5%84%20%E2%82%AC");
    EXPECT_EQ(BuildMailtoAddress("a@x.pl; b@y.pl", "Crash & burn", "Hi&", "R#1", ""),
              "mailto:a@x.pl,b@y.pl?Subject=Crash%20%26%20burn&Body=Hi%26%0D%0A%0D%0A%0D%0AR%231");
    EXPECT_EQ(BuildMailtoAddress("a@x.pl", "", "", "r", "steps"),
              "mailto:a@x.pl?Subject=&Body=%0D%0A%0D%0A%0D%0Ar%0D%0A%0D%0A%0D%0Asteps");
}

TEST(CrashMailMailto, CommandLineTakesTheAddressForEachPercentOne) {
    EXPECT_EQ(MailtoCommandLine("\"C:\\m.exe\" -c \"%1\" %1", "mailto:a%251"),
              "\"C:\\m.exe\" -c \"mailto:a%251\" mailto:a%251");
    EXPECT_EQ(MailtoCommandLine("m.exe", "x"), "m.exe");
}

}  // namespace
}  // namespace brenvik
