#include <gtest/gtest.h>

#include "crash/mail/DnsMx.h"
#include "crash_mail_dns_reply.h"

namespace brenvik {
namespace {

using testing::DnsReplyBuilder;

TEST(CrashMailDnsQuery, BytesForADomain) {
    EXPECT_EQ(MailDomain("dev@mail.example.test"), "mail.example.test");
    EXPECT_EQ(MailDomain("example.test"), "example.test");
    EXPECT_EQ(MailDomain("a@b@c"), "b@c");
    const std::string expected("\x41\x41\x01\x00\x00\x01\x00\x00\x00\x00\x00\x00"
                               "\x04mail\x07" "example\x04test\x00\x00\x0F\x00\x01",
                               12 + 19 + 4);
    EXPECT_EQ(BuildMxQuery("mail.example.test"), expected);
    EXPECT_EQ(BuildMxQuery("mail.example.test."), expected);
}

TEST(CrashMailDnsQuery, UnwritableDomainsGiveNoQuery) {
    EXPECT_EQ(BuildMxQuery(""), "");
    EXPECT_EQ(BuildMxQuery("a..b"), "");
    EXPECT_EQ(BuildMxQuery(".a"), "");
    EXPECT_EQ(BuildMxQuery(std::string(64, 'a') + ".pl"), "");
    EXPECT_NE(BuildMxQuery(std::string(63, 'a') + ".pl"), "");
}

TEST(CrashMailDnsReply, LowestPreferenceWinsFirstAmongEquals) {
    const std::string reply = DnsReplyBuilder(3)
                                  .Mx(20, DnsReplyBuilder::Labels("far.example.test"))
                                  .Mx(10, DnsReplyBuilder::Labels("near.example.test"))
                                  .Mx(10, DnsReplyBuilder::Labels("later.example.test"))
                                  .Bytes();
    EXPECT_EQ(ParseMxReply(reply), "near.example.test");
}

TEST(CrashMailDnsReply, CompressionPointersAreFollowed) {
    // "mx" then a pointer to the question name at offset 12.
    const std::string reply = DnsReplyBuilder(1).Mx(5, std::string("\x02mx\xC0\x0C", 5)).Bytes();
    EXPECT_EQ(ParseMxReply(reply), "mx.example.test");
}

TEST(CrashMailDnsReply, OnlyMxAnswersCount) {
    // An A record as the only answer, then an MX record beyond the answer count.
    std::string reply = DnsReplyBuilder(1).Mx(1, std::string("\x01x\x00", 3), 1).Bytes();
    EXPECT_EQ(ParseMxReply(reply), "");
    reply = DnsReplyBuilder(1).Mx(1, std::string("\x01x\x00", 3), 1).Mx(2, "\x01y\x00").Bytes();
    EXPECT_EQ(ParseMxReply(reply), "");
    EXPECT_EQ(ParseMxReply(DnsReplyBuilder(0).Bytes()), "");
}

TEST(CrashMailDnsReply, MalformedRepliesGiveNoHost) {
    const std::string good = DnsReplyBuilder(1).Mx(10, DnsReplyBuilder::Labels("mx.example.test")).Bytes();
    ASSERT_EQ(ParseMxReply(good), "mx.example.test");
    for (std::size_t size = 0; size < good.size(); ++size) {
        EXPECT_EQ(ParseMxReply(good.substr(0, size)), "") << "truncated at " << size;
    }
    // A pointer to itself, two pointers pointing at each other, a forward pointer.
    EXPECT_EQ(ParseMxReply(DnsReplyBuilder(1).Mx(1, "\xC0\x2C").Bytes()), "");  // the exchange is at 44
    std::string cycle = DnsReplyBuilder(1).Mx(1, std::string("\x01" "a\xC0\x00", 4)).Bytes();
    const std::size_t exchange = cycle.size() - 4;
    cycle[exchange + 3] = static_cast<char>(exchange);
    EXPECT_EQ(ParseMxReply(cycle), "");
    EXPECT_EQ(ParseMxReply(DnsReplyBuilder(1).Mx(1, std::string("\xC0\xFF", 2)).Bytes()), "");
    // A label running past the record into the next bytes.
    EXPECT_EQ(ParseMxReply(DnsReplyBuilder(1).Mx(1, std::string("\x05" "ab\x00", 4)).Bytes() + "cdef"), "");
    // A data length far beyond the reply.
    std::string huge = good;
    huge[good.size() - 21] = '\x7F';
    EXPECT_EQ(ParseMxReply(huge), "");
    // A label longer than 63 bytes.
    EXPECT_EQ(ParseMxReply(DnsReplyBuilder(1).Mx(1, "\x40" + std::string(64, 'a') + '\0').Bytes()), "");
}

TEST(CrashMailDnsReply, RandomNoiseNeverReadsOutside) {
    std::uint32_t seed = 12345;
    for (int round = 0; round < 20000; ++round) {
        std::string reply(12 + seed % 90, '\0');
        for (char& byte : reply) {
            seed = seed * 1103515245u + 12345u;
            byte = static_cast<char>(seed >> 16);
        }
        reply[6] = 0;
        reply[7] = static_cast<char>(1 + round % 4);
        const std::string host = ParseMxReply(reply);
        EXPECT_LE(host.size(), 256u);
    }
}

}  // namespace
}  // namespace brenvik
