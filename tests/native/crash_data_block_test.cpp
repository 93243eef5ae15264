#include <gtest/gtest.h>

#include "crash/debuginfo/DebugInfo.h"
#include "crash/debuginfo/ModuleDataBlock.h"
#include "crash/debuginfo/ZlibCodec.h"
#include "crash_legacy_options_stream.h"

namespace brenvik {
namespace {

class CrashDataBlock : public ::testing::Test {
protected:
    CrashDataBlock() {
        configured.SetMailSubject("Subject");
        configured.SetSendMode(TCrashModuleOptions::kSendSmtpServer);
        configured.SetSmtpServer("mail.example.org");
        configured.FilterClasses().Add("EAbort");
        configured.SetText(2, "Oops.");
        debugInfo = EncodeDebugInfo({{{"Main.Run", 0, 10}}, {{"Main.cpp", 3, 0, 10, {{1, 0, std::string("Run")}}}}});
    }

    // A module's options after it met some other block first.
    void Dirty(TCrashModuleOptions& options) {
        options.SetMaxLogEntries(5);
        options.FilterMessages().Add("left over");
    }

    void ExpectDefaultsAndNoDebugInfo(const TCrashModuleOptions& options, const TModuleData& data) {
        EXPECT_EQ(Saved(options), Saved(TCrashModuleOptions("", false)));
        EXPECT_TRUE(data.DebugInfo.empty());
        EXPECT_EQ(data.Version, kCrashDataVersion);
        EXPECT_EQ(data.BuildTime, 0.0);
    }

    TCrashModuleOptions configured{"D:\\App\\Tool.exe", false};
    std::string debugInfo;
};

TEST_F(CrashDataBlock, ResourceFormRoundTrip) {
    const std::string block = ComposeResourceDataBlock(45678.25, Saved(configured), debugInfo);
    EXPECT_EQ(block.substr(0, 6), std::string("\x10\xAB\x0F\x00\xC6\x01", 6));
    TCrashModuleOptions options("D:\\App\\Tool.exe", false);
    TModuleData data;
    ASSERT_EQ(ReadResourceDataBlock(block, options, data), TDataBlockStatus::Loaded);
    EXPECT_EQ(Saved(options), Saved(configured));
    EXPECT_EQ(data.Version, 454);
    EXPECT_EQ(data.BuildTime, 45678.25);
    EXPECT_EQ(data.DebugInfo, debugInfo);
}

TEST_F(CrashDataBlock, OlderBlocksAreReadUncompressedWithTheirVersionRules) {
    const std::string legacy = LegacyStream(configured, 440, 60);
    TCrashStreamWriter resource;
    resource.WriteUInt32(kCrashDataMagic);
    resource.WriteUInt16(440);
    resource.WriteDouble(40000);
    resource.WriteBytes(legacy);
    resource.WriteUInt32(static_cast<std::uint32_t>(debugInfo.size()));
    resource.WriteBytes(debugInfo);
    const std::string appended = "MZ...module bytes" + ComposeAppendedDataBlock(440, 40000, legacy, debugInfo);
    using Reader = TDataBlockStatus (*)(std::string_view, TCrashModuleOptions&, TModuleData&);
    const std::vector<std::tuple<const char*, Reader, std::string>> forms = {
        {"resource", &ReadResourceDataBlock, resource.Bytes()}, {"appended", &ReadAppendedDataBlock, appended}};
    for (const auto& [name, read, bytes] : forms) {
        TCrashModuleOptions options("", false);
        TModuleData data;
        ASSERT_EQ(read(bytes, options, data), TDataBlockStatus::Loaded) << name;
        EXPECT_EQ(data.Version, 440) << name;
        EXPECT_EQ(options.MailSubject(), "Subject") << name;
        EXPECT_EQ(options.SendMode(), TCrashModuleOptions::kSendSmtpServer) << name;
        EXPECT_EQ(data.DebugInfo, debugInfo) << name;
    }
}

TEST_F(CrashDataBlock, MissingMagicMeansNoBlockAndChangesNothing) {
    const std::string block = ComposeResourceDataBlock(1, Saved(configured), debugInfo);
    TCrashModuleOptions options("", false);
    Dirty(options);
    const std::string before = Saved(options);
    TModuleData data;
    EXPECT_EQ(ReadResourceDataBlock("\x11" + block.substr(1), options, data), TDataBlockStatus::Absent);
    EXPECT_EQ(ReadAppendedDataBlock(block, options, data), TDataBlockStatus::Absent);
    EXPECT_EQ(ReadResourceDataBlock("", options, data), TDataBlockStatus::Absent);
    EXPECT_EQ(Saved(options), before);
}

TEST_F(CrashDataBlock, EveryTruncationYieldsDefaultsAndNoDebugInfo) {
    const std::string resource = ComposeResourceDataBlock(2, Saved(configured), debugInfo);
    for (std::size_t size = 4; size < resource.size(); ++size) {
        TCrashModuleOptions options("", false);
        Dirty(options);
        TModuleData data;
        EXPECT_EQ(ReadResourceDataBlock(resource.substr(0, size), options, data), TDataBlockStatus::Corrupt) << size;
        ExpectDefaultsAndNoDebugInfo(options, data);
    }
    const std::string appended = ComposeAppendedDataBlock(454, 2, Saved(configured), debugInfo);
    // Cutting the front leaves the length pointing before the file's start;
    // shrinking the stated length makes the payload end early.
    for (std::size_t cut = 1; cut < appended.size() - 8; ++cut) {
        std::string damaged = appended.substr(cut);
        TCrashModuleOptions options("", false);
        TModuleData data;
        EXPECT_EQ(ReadAppendedDataBlock(damaged, options, data), TDataBlockStatus::Corrupt) << cut;
        ExpectDefaultsAndNoDebugInfo(options, data);
        TCrashStreamWriter shorter;
        shorter.WriteUInt32(static_cast<std::uint32_t>(appended.size() - 8 - cut));
        damaged = appended;
        damaged.replace(damaged.size() - 8, 4, shorter.Bytes());
        EXPECT_NE(ReadAppendedDataBlock(damaged, options, data), TDataBlockStatus::Loaded) << cut;
    }
}

TEST_F(CrashDataBlock, DamagedPayloadsAreRefused) {
    // A debug-information length beyond the payload.
    std::string payload = Saved(configured) + std::string("\xFF\xFF\xFF\x7F", 4) + debugInfo;
    TCrashStreamWriter block;
    block.WriteUInt32(kCrashDataMagic);
    block.WriteUInt16(kCrashDataVersion);
    block.WriteDouble(3);
    block.WriteBytes(ZlibCompress(payload));
    TCrashModuleOptions options("", false);
    TModuleData data;
    EXPECT_EQ(ReadResourceDataBlock(block.Bytes(), options, data), TDataBlockStatus::Corrupt);
    ExpectDefaultsAndNoDebugInfo(options, data);
    // Inflating stops at the size limit, and a stream cut short yields nothing.
    const std::string zeros = ZlibCompress(std::string(1u << 20, '\0'));
    EXPECT_FALSE(ZlibDecompress(zeros, 64u << 10));
    EXPECT_EQ(ZlibDecompress(zeros, 2u << 20), std::string(1u << 20, '\0'));
    EXPECT_FALSE(ZlibDecompress(std::string_view(zeros).substr(0, zeros.size() - 1), 2u << 20));
    // Flipped bits anywhere in the compressed stream never get past the checks unnoticed.
    const std::string good = ComposeResourceDataBlock(4, Saved(configured), debugInfo);
    for (std::size_t i = 14; i < good.size(); ++i) {
        std::string damaged = good;
        damaged[i] = static_cast<char>(damaged[i] ^ 0x20);
        TCrashModuleOptions target("", false);
        TModuleData read;
        if (ReadResourceDataBlock(damaged, target, read) != TDataBlockStatus::Loaded)
            ExpectDefaultsAndNoDebugInfo(target, read);
    }
}

TEST_F(CrashDataBlock, PublishedOptionsOverrideStoredOnes) {
    TCrashModuleOptions options("", false);
    EXPECT_TRUE(LoadPublishedOptions("\x01" + Saved(configured), options));
    EXPECT_EQ(Saved(options), Saved(configured));
    TCrashModuleOptions untouched("", false);
    EXPECT_FALSE(LoadPublishedOptions(std::string(1, '\0'), untouched));
    EXPECT_FALSE(LoadPublishedOptions("\x01" + Saved(configured).substr(0, 40), untouched));
    EXPECT_EQ(Saved(untouched), Saved(TCrashModuleOptions("", false)));
}

}  // namespace
}  // namespace brenvik
