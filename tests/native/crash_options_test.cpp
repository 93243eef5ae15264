#include <gtest/gtest.h>

#include <vector>

#include "base/Exception.h"
#include "crash/options/TCrashModuleOptions.h"
#include "crash_legacy_options_stream.h"

namespace brenvik {
namespace {

void Load(TCrashModuleOptions& options, const std::string& bytes, std::uint16_t version = kCrashDataVersion) {
    TCrashStreamReader stream(bytes);
    options.LoadFromStream(stream, version);
    EXPECT_EQ(stream.Remaining(), 0u) << "version " << version;
}

// Sets every stored field away from its default.
void Customise(TCrashModuleOptions& o) {
    o.SetProjectEnabled(false);
    o.SetUseFilter(false);
    o.SetReportFlags(TCrashModuleOptions::kSkipDuplicates | TCrashModuleOptions::kAskReproduceSteps);
    o.SetShowReport(false);
    o.SetReportInBody(true);
    o.SetSendWholeLog(true);
    o.SetAttachScreenshot(true);
    o.SetShowSendProgress(false);
    o.SetSaveLogFile(false);
    o.SetDialogStartTab(3);
    o.SetFlatDialogLook(false);
    o.SetFreezeCheck(true);
    o.SetFreezeTimeout(17);
    o.SetFreezeMessage("Frozen!");
    o.SetSmtpFrom("me@example.org");
    o.SetSmtpServer("smtp.example.org");
    o.SetSmtpPort(587);
    o.SetSmtpUser("user");
    o.SetSmtpPassword("secret");
    o.SetTerminateAction(0);
    o.SetTerminateButtonAfterErrors(false);
    o.SetMaxLogEntries(7);
    o.SetTerminateErrorCount(9);
    o.SetMailRecipients("a@example.org;b@example.org");
    o.SetMailSubject("Crash");
    o.SetSendMode(TCrashModuleOptions::kSendSmtpDirect);
    o.SetLogItems(0x00400001);
    o.SetOutputPath("E:\\Logs");
    o.FilterClasses().Add("EAbort");
    o.FilterMessages().Add("Stopped.");
    o.SetMailBody("Body");
    for (int i = 0; i < kCrashTextCount; ++i) o.SetText(i, "T" + std::to_string(i));
}

TEST(CrashOptions, DefaultsHoldTheBuiltInTexts) {
    TCrashModuleOptions options("D:\\App\\Tool.exe", false);
    for (int i = 0; i < kCrashTextCount; ++i) EXPECT_FALSE(options.GetText(i).empty()) << i;
    EXPECT_EQ(options.GetText(3), "An error has occurred during program execution.\r\n"
                                  "Please read the following information for further details.");
    EXPECT_EQ(options.GetText(51), "Procedure/Method");
    EXPECT_EQ(options.GetText(70), "Memory Dump");
    EXPECT_EQ(options.LogItems(), 0xFFFFFFFFu);
    EXPECT_EQ(options.SmtpPort(), 25);
    EXPECT_EQ(options.FreezeTimeout(), 60);
    EXPECT_EQ(options.MaxLogEntries(), 32);
    EXPECT_EQ(options.UpdateDepth(), 0);
    EXPECT_TRUE(options.Active());
}

TEST(CrashOptions, StreamLayoutIsLittleEndianAndScrambled) {
    TCrashModuleOptions options("", false);
    options.SetFreezeTimeout(0x01020304);
    options.SetFreezeMessage("Hi");
    const std::string bytes = Saved(options);
    EXPECT_EQ(bytes.substr(0, 12), std::string("\x01\x01\x00\x01\x00\x00\x00\x01\x01\x00\x01\x00", 12));
    EXPECT_EQ(bytes.substr(12, 4), "\x04\x03\x02\x01");
    EXPECT_EQ(bytes.substr(16, 6), std::string("\x02\x00\x00\x00", 4) + char('H' ^ 0x5B) + char('i' ^ 0x5B));
}

TEST(CrashOptions, EveryStoredFieldSurvivesARoundTrip) {
    TCrashModuleOptions source("D:\\App\\Tool.exe", false), target("X.exe", false);
    Customise(source);
    const std::string bytes = Saved(source);
    Load(target, bytes);
    EXPECT_EQ(Saved(target), bytes);
    EXPECT_EQ(target.SmtpPassword(), "secret");
    EXPECT_EQ(target.GetText(70), "T70");
    EXPECT_EQ(target.SendMode(), TCrashModuleOptions::kSendSmtpDirect);
    EXPECT_EQ(target.ModuleName(), "X.exe");
}

TEST(CrashOptions, ClosingLineBreakIsDroppedOnlyWhenItIsTheFirst) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"Abc\r\n", "Abc"}, {"A\r\nB\r\n", "A\r\nB\r\n"}, {"\r\n", ""}, {"A\r\n\r\n", "A\r\n\r\n"}, {"A\n", "A\n"}};
    for (const auto& [text, stored] : cases) {
        TCrashModuleOptions source("", false), target("", false);
        source.SetMailBody(text);
        source.SetText(0, text);
        Load(target, Saved(source));
        EXPECT_EQ(target.MailBody(), stored);
        EXPECT_EQ(target.GetText(0), stored);
    }
}

TEST(CrashOptions, ZeroLogEntriesKeepsOne) {
    TCrashModuleOptions source("", false), target("", false);
    source.SetMaxLogEntries(0);
    EXPECT_EQ(source.MaxLogEntries(), 1);
    Load(target, Saved(source));
    EXPECT_EQ(target.MaxLogEntries(), 1);
}

TEST(CrashOptions, FilterListsAreStoredAsPairs) {
    TCrashModuleOptions source("", false), target("", false);
    for (const char* name : {"EAbort", "EConvertError", "EFrozenApplication"}) source.FilterClasses().Add(name);
    source.FilterMessages().Add("Stopped.");
    const std::string bytes = Saved(source);
    TCrashModuleOptions padded("", false);
    for (const char* name : {"EAbort", "EConvertError", "EFrozenApplication"}) padded.FilterClasses().Add(name);
    for (const char* message : {"Stopped.", "", ""}) padded.FilterMessages().Add(message);
    EXPECT_EQ(Saved(padded), bytes);
    target.FilterClasses().Add("Stale");
    Load(target, bytes);
    ASSERT_EQ(target.FilterClasses().Count(), 3);
    ASSERT_EQ(target.FilterMessages().Count(), 3);
    EXPECT_EQ(target.FilterClasses()[2], "EFrozenApplication");
    EXPECT_EQ(target.FilterMessages()[0], "Stopped.");
    EXPECT_EQ(target.FilterMessages()[1], "");
    EXPECT_EQ(target.FilterMessages()[2], "");
}

TEST(CrashOptions, Version420LacksTheLaterFields) {
    TCrashModuleOptions source("", false), target("", false), defaults("", false);
    Customise(source);
    source.SetSendMode(0);
    Load(target, LegacyStream(source, 420, 30000), 420);
    EXPECT_EQ(target.SmtpFrom(), defaults.SmtpFrom());
    EXPECT_EQ(target.SmtpPort(), 25);
    EXPECT_EQ(target.SmtpUser(), "");
    EXPECT_EQ(target.SmtpPassword(), "");
    EXPECT_EQ(target.TerminateAction(), 1);
    EXPECT_FALSE(target.SendWholeLog());
    EXPECT_EQ(target.SmtpServer(), "smtp.example.org");
    EXPECT_EQ(target.FreezeTimeout(), 30);  // milliseconds before 422
    EXPECT_FALSE(target.ShowReport());
    EXPECT_EQ(target.LogItems(), 0x00400001u);
    EXPECT_EQ(target.FilterMessages()[0], "Stopped.");
    for (int i = 0; i < kCrashTextCount; ++i) {
        const bool kept = (i >= 8 && i <= 11) || i == 14 || (i >= 16 && i <= 18) || i == 23 || i == 37 || i == 45 ||
                          i == 47 || i == 48 || i >= 53;
        EXPECT_EQ(target.GetText(i), kept ? defaults.GetText(i) : "T" + std::to_string(i)) << i;
    }
}

TEST(CrashOptions, OlderVersionsConvertTimeoutAndMailMode) {
    TCrashModuleOptions source("", false);
    Customise(source);
    source.SetSendMode(TCrashModuleOptions::kSendMailClient);
    {
        TCrashModuleOptions target("", false);
        Load(target, LegacyStream(source, 421, 60000), 421);
        EXPECT_EQ(target.FreezeTimeout(), 60);
        EXPECT_EQ(target.SmtpUser(), "user");
        EXPECT_EQ(target.GetText(14), "T14");
    }
    {
        TCrashModuleOptions target("", false);
        Load(target, LegacyStream(source, 440, 45), 440);
        EXPECT_EQ(target.FreezeTimeout(), 45);
        EXPECT_EQ(target.SendMode(), TCrashModuleOptions::kSendSmtpServer);
    }
    source.SetSmtpServer("");
    {
        TCrashModuleOptions target("", false);
        Load(target, LegacyStream(source, 440, 45), 440);
        EXPECT_EQ(target.SendMode(), TCrashModuleOptions::kSendMailClient);
    }
}

TEST(CrashOptions, EarliestVersionsKeepDefaultsOfMissingFields) {
    TCrashModuleOptions source("", false);
    Customise(source);
    TCrashModuleOptions v400("", false), v402("", false), v419("", false);
    Load(v400, LegacyStream(source, 400, 0), 400);
    EXPECT_TRUE(v400.SaveLogFile());
    EXPECT_EQ(v400.DialogStartTab(), 0);
    EXPECT_TRUE(v400.FlatDialogLook());
    EXPECT_FALSE(v400.FreezeCheck());
    EXPECT_EQ(v400.SmtpServer(), "smtp.example.org");
    Load(v402, LegacyStream(source, 402, 0), 402);
    EXPECT_FALSE(v402.SaveLogFile());
    EXPECT_EQ(v402.DialogStartTab(), 3);
    EXPECT_TRUE(v402.FlatDialogLook());
    Load(v419, LegacyStream(source, 419, 0), 419);
    EXPECT_FALSE(v419.FlatDialogLook());
    EXPECT_EQ(v419.GetText(15), "&Details");
    EXPECT_EQ(v419.GetText(13), "T13");
}

TEST(CrashOptions, TruncatedStreamRaises) {
    TCrashModuleOptions source("", false);
    Customise(source);
    const std::string bytes = Saved(source);
    for (std::size_t size : {std::size_t{0}, std::size_t{5}, std::size_t{14}, bytes.size() - 1}) {
        TCrashModuleOptions target("", false);
        TCrashStreamReader stream(std::string_view(bytes).substr(0, size));
        EXPECT_THROW(target.LoadFromStream(stream), ECrashStreamError) << size;
        EXPECT_EQ(target.UpdateDepth(), 0);
    }
}

TEST(CrashOptions, OutputFileNames) {
    TCrashModuleOptions options("D:\\App\\Tool.exe", false);
    EXPECT_EQ(options.OutputLogFile(), "D:\\App\\Tool.clog");
    for (const char* path : {"E:\\Logs", "E:\\Logs\\"}) {
        options.SetOutputPath(path);
        EXPECT_EQ(options.OutputLogFile(), "E:\\Logs\\Tool.clog") << path;
    }
    options.SetOutputPath("E:\\Logs\\all.CLOG");
    EXPECT_EQ(options.OutputLogFile(), "E:\\Logs\\all.CLOG");
    options.SetOutputPath("E:\\Logs.clog\\sub");
    EXPECT_EQ(options.OutputLogFile(), "E:\\Logs.clog\\sub\\Tool.clog");
    options.SetOutputPath("");
    EXPECT_EQ(options.OutputFile("Tool.clog"), "\\Tool.clog");
    TCrashModuleOptions bare("Tool", false);
    EXPECT_EQ(bare.OutputLogFile(), "\\Tool.clog");
}

class RecordingEnvironment : public CrashOptionsEnvironment {
public:
    bool IsOwnModule(const std::string& name) const override { return name == "C:\\Own.exe"; }
    void PublishOptions(std::string_view block) override { published.emplace_back(block); }
    bool IsOwnModuleOptions(const TCrashModuleOptions& options) const override { return &options == own; }
    void RunFreezeWatchdog(bool run) override { watchdog.push_back(run); }

    std::vector<std::string> published;
    std::vector<bool> watchdog;
    const TCrashModuleOptions* own = nullptr;
};

TEST(CrashOptions, AssignCopiesStoredFieldsOnly) {
    TCrashModuleOptions source("D:\\App\\Tool.exe", false), target("C:\\Other.exe", false);
    Customise(source);
    source.SetActive(false);
    target.Assign(&source);
    EXPECT_EQ(Saved(target), Saved(source));
    EXPECT_EQ(target.ModuleName(), "C:\\Other.exe");
    EXPECT_TRUE(target.Active());
    try {
        target.Assign(nullptr);
        ADD_FAILURE() << "no exception";
    } catch (const EConvertError& error) {
        EXPECT_EQ(error.Message, "Impossible to assign nil as TCrashModuleOptions.");
    }
}

TEST(CrashOptions, ChangesOfTheOwnModuleArePublishedOncePerUpdate) {
    RecordingEnvironment environment;
    TCrashModuleOptionsEx own("C:\\Own.exe", true, &environment), other("C:\\Other.exe", true, &environment),
        quiet("C:\\Own.exe", false, &environment);
    EXPECT_TRUE(environment.published.empty());
    own.SetMailSubject("S");
    other.SetMailSubject("S");
    quiet.SetMailSubject("S");
    ASSERT_EQ(environment.published.size(), 1u);
    EXPECT_EQ(environment.published[0], "\x01" + Saved(own));

    TCrashModuleOptions source("", false);
    Customise(source);
    own.Assign(&source);
    EXPECT_EQ(environment.published.size(), 2u);
    own.FilterClasses().Add("EAbort");
    EXPECT_EQ(environment.published.size(), 3u);
    own.BeginUpdate();
    own.SetSmtpPort(26);
    own.BeginUpdate();
    own.EndUpdate();
    EXPECT_EQ(environment.published.size(), 3u);
    own.EndUpdate();
    EXPECT_EQ(environment.published.size(), 4u);
}

class FailingOptions : public TCrashModuleOptionsEx {
public:
    using TCrashModuleOptionsEx::TCrashModuleOptionsEx;
    void SetFreezeCheck(bool) override { throw Exception("no"); }
};

TEST(CrashOptions, FailedAssignStillEndsTheUpdate) {
    RecordingEnvironment environment;
    FailingOptions own("C:\\Own.exe", true, &environment);
    TCrashModuleOptions source("", false);
    EXPECT_THROW(own.Assign(&source), Exception);
    EXPECT_EQ(own.UpdateDepth(), 0);
    EXPECT_EQ(environment.published.size(), 1u);
}

TEST(CrashOptions, OwnModuleOptionsSwitchTheFreezeWatchdog) {
    RecordingEnvironment environment;
    TCrashModuleOptionsEx own("C:\\Own.exe", false, &environment), current("", false, &environment);
    environment.own = &own;
    own.SetFreezeCheck(true);
    own.SetFreezeCheck(true);
    own.SetActive(false);
    own.SetActive(true);
    current.SetFreezeCheck(true);
    current.SetActive(false);
    EXPECT_EQ(environment.watchdog, (std::vector<bool>{true, false, true}));
    EXPECT_TRUE(current.FreezeCheck());
    EXPECT_FALSE(current.Active());
}

}  // namespace
}  // namespace brenvik
