#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include <unistd.h>

#include "crash/report/CrashLogWriter.h"
#include "crash/report/TLogFile.h"
#include "crash_report_fakes.h"

namespace brenvik {
namespace {

namespace fs = std::filesystem;
constexpr const char* kEnd = "\r\n\r\n\r\n\r\n";

// A folder of its own for each test, removed afterwards.
class CrashLogFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        folder_ = fs::temp_directory_path() / ("brenvik_crash_log_" + std::to_string(::getpid()) + "_" + info->name());
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    std::string PathOf(const std::string& name) const { return (folder_ / name).string(); }
    static std::string ReadFile(const std::string& path) {
        std::ifstream file(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    }
    static void WriteFile(const std::string& path, const std::string& text) {
        std::ofstream(path, std::ios::binary) << text;
    }

    fs::path folder_;
};

std::string Report(const std::string& address, const std::string& message) {
    return "Crashlog 4.5.4\r\n\r\nException:\r\n---\r\n  2.2 Address: " + address +
           "\r\n  2.3 Module : Brenvik.exe\r\n  2.4 Type   : EConvertError\r\n  2.5 Message: " + message + "\r\n";
}

TEST(CrashLogSplit, EntriesStartAtCrashlogLinesAndEndAtThreeEmptyLines) {
    const std::string text = std::string("Garbage before\r\nA Crashlog line: xCrashlog 1\r\n") +
                             "Crashlog 1\r\nA\r\n" + kEnd + "between\r\n" + "Crashlog 2\r\nB" + kEnd +
                             "\r\nCrashlog 3\r\ncut short";
    const std::vector<std::string> entries = TLogFile::SplitEntries(text);
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0], "Crashlog 1\r\nA\r\n\r\n\r\n");
    EXPECT_EQ(entries[1], "Crashlog 2\r\nB\r\n\r\n\r\n");
    EXPECT_EQ(entries[2], "Crashlog 3\r\ncut short\r\n\r\n\r\n");
    EXPECT_EQ(TLogFile::SplitEntries("Crashlog 4\r\nx\r\n\r\n").at(0), "Crashlog 4\r\nx\r\n\r\n\r\n");
    EXPECT_TRUE(TLogFile::SplitEntries("no entries at all\r\n").empty());
    EXPECT_TRUE(TLogFile::SplitEntries("").empty());
}

TEST_F(CrashLogFileTest, ReadSaveAndReadAgainKeepsEveryEntryWhole) {
    const std::string path = PathOf("Tool.clog");
    WriteFile(path, "Text before the first entry\r\n" + Report("00000001", "One.") + kEnd + "\r\n" +
                        Report("00000002", "Two.") + kEnd + "\r\n");
    TLogFile log(path);
    ASSERT_EQ(log.Entries().size(), 2u);
    EXPECT_EQ(log.Entries()[0].substr(0, 16), "Crashlog 4.5.4\r\n");
    log.Save();
    EXPECT_EQ(ReadFile(path), Report("00000001", "One.") + "\r\n\r\n\r\n" + Report("00000002", "Two.") + "\r\n\r\n\r\n");
    EXPECT_EQ(TLogFile(path).Entries(), log.Entries());

    // A missing file is an empty log, created on save.
    TLogFile fresh(PathOf("New.clog"));
    EXPECT_TRUE(fresh.Entries().empty());
    fresh.Add(Report("00000003", "Three."), 32);
    fresh.Save();
    EXPECT_EQ(ReadFile(PathOf("New.clog")), Report("00000003", "Three.") + kEnd + "\r\n");
}

TEST_F(CrashLogFileTest, AddKeepsTheNewestEntriesUpToTheMaximum) {
    TLogFile log(PathOf("Max.clog"));
    for (const char* address : {"1", "2", "3"}) log.Add(Report(address, "m."), 3);
    ASSERT_EQ(log.Entries().size(), 3u);
    log.Add(Report("4", "m."), 3);
    ASSERT_EQ(log.Entries().size(), 3u);
    EXPECT_NE(log.Entries()[0].find("Address: 2"), std::string::npos);
    EXPECT_NE(log.Entries()[2].find("Address: 4"), std::string::npos);
    EXPECT_EQ(log.Entries()[2], Report("4", "m.") + kEnd);
    log.Add(Report("5", "m."), 1);
    ASSERT_EQ(log.Entries().size(), 1u);
    log.Add(Report("6", "m."), -4);
    ASSERT_EQ(log.Entries().size(), 1u);
    EXPECT_NE(log.Entries()[0].find("Address: 6"), std::string::npos);
}

TEST_F(CrashLogFileTest, BlankLinesTypedByTheUserDoNotSplitTheEntry) {
    const std::string path = PathOf("Steps.clog");
    TLogFile log(path);
    log.Add(Report("1", "m.") + "Steps:\r\nfirst\r\n\r\n\r\n\r\n\r\nsecond", 32);
    log.Save();
    const TLogFile reread(path);
    ASSERT_EQ(reread.Entries().size(), 1u);
    EXPECT_NE(reread.Entries()[0].find("second"), std::string::npos);
}

TEST_F(CrashLogFileTest, UnwritableOrUnreadableLogsRaise) {
    TLogFile homeless(PathOf("missing/Tool.clog"));
    homeless.Add(Report("1", "m."), 32);
    EXPECT_THROW(homeless.Save(), ECrashLogError);
    EXPECT_FALSE(fs::exists(folder_ / "missing"));

    // A folder in the log's place cannot be read as a log: nothing may
    // replace it with a log that lost its entries.
    fs::create_directories(folder_ / "Busy.clog");
    EXPECT_THROW(TLogFile(PathOf("Busy.clog")), ECrashLogError);
    TCrashModuleOptions options("C:\\App\\Tool.exe", false);
    options.SetOutputPath(PathOf("Busy.clog"));
    options.SetReportFlags(TCrashModuleOptions::kSkipDuplicates);
    EXPECT_FALSE(IsDuplicateError(options, {"1", "Brenvik.exe", "EConvertError", "m."}));
}

TEST_F(CrashLogFileTest, FailedSaveLeavesTheOldLogByteForByte) {
    const std::string path = PathOf("Tool.clog");
    TLogFile log(path);
    log.Add(Report("1", "first."), 32);
    log.Save();
    const std::string before = ReadFile(path);

    TLogFile grown(path);
    grown.Add(Report("2", "second."), 32);
    fs::create_directories(folder_ / "Tool.clog.new");  // the new text has nowhere to go
    EXPECT_THROW(grown.Save(), ECrashLogError);
    EXPECT_EQ(ReadFile(path), before);

    fs::remove(folder_ / "Tool.clog.new");
    grown.Save();
    EXPECT_EQ(TLogFile(path).Entries().size(), 2u);
    EXPECT_FALSE(fs::exists(folder_ / "Tool.clog.new"));
}

TEST(CrashLogDuplicate, MatchesOnEveryKeyLineOfOneEntry) {
    TLogFile log("/nonexistent/folder/none.clog");
    const std::vector<std::string> keys{"2.2", "2.3", "2.4", "2.5"};
    const std::vector<std::string> values{"0040ABCD", "Brenvik.exe", "EConvertError", "Bad value."};
    EXPECT_FALSE(log.IsDuplicate(keys, values));

    log.Add("Crashlog 4.5.4\r\n\r\nException:\r\n---\r\n  2.5 Message: Bad value.\r\n", 32);  // no address line
    log.Add(Report("0040ABCD", "Bad value. Really."), 32);
    log.Add(Report("0040ABC", "Bad value."), 32);
    EXPECT_FALSE(log.IsDuplicate(keys, values));
    log.Add(Report("0040ABCD", "Bad value."), 32);
    log.Add(Report("00000001", "Other."), 32);
    EXPECT_TRUE(log.IsDuplicate(keys, values));

    // Aligned key lines match too: only the text after ": " counts.
    TLogFile aligned("/nonexistent/folder/none.clog");
    aligned.Add("Crashlog 4.5.4\r\n  2.2 Address      : X\r\n  2.3 Module       : M\r\n", 32);
    EXPECT_TRUE(aligned.IsDuplicate({"2.2", "2.3"}, {"X", "M"}));
    EXPECT_FALSE(aligned.IsDuplicate({"2.2", "2.3"}, {"X", ""}));
}

class CrashLogWriteTest : public CrashLogFileTest {
protected:
    void SetUp() override {
        CrashLogFileTest::SetUp();
        logPath_ = PathOf("Tool.clog");
        options_.SetOutputPath(logPath_);
        parts_.ReportText = Report("0040ABCD", "Bad value.");
        parts_.MailText = parts_.ReportText;
        parts_.General = {"0040ABCD", "Brenvik.exe", "EConvertError", "Bad value."};
        notifications_.Action = [this](int action, bool& proceed) {
            calls_.push_back("action " + std::to_string(action) + (proceed ? " proceed" : " stop"));
            if (action == kActionBeforeSaveLog && stopBeforeSave_) proceed = false;
        };
    }

    TCrashModuleOptions options_{"C:\\App\\Tool.exe", false};
    std::string logPath_;
    TCrashReportParts parts_;
    TCrashLogNotifications notifications_;
    std::vector<std::string> calls_;
    bool stopBeforeSave_ = false;
    testing::FakeMemory memory_;
    TCrashTrace trace_{"C:\\App\\Tool.exe", [] { return TCrashDateTime{}; }};
    TCrashFailureLog failures_{trace_, memory_};
};

TEST_F(CrashLogWriteTest, StepsJoinTheReportWhichIsLoggedAndMailed) {
    options_.SetReportFlags(TCrashModuleOptions::kAskReproduceSteps);
    WriteCrashLog(parts_, options_, false, "Clicked Import.", notifications_, failures_);
    const std::string expected = Report("0040ABCD", "Bad value.") + "\r\nRequest:\r\n" + std::string(40, '-') +
                                 "\r\nClicked Import.";
    EXPECT_EQ(parts_.ReportText, expected);
    EXPECT_EQ(parts_.MailText, expected);
    EXPECT_EQ(ReadFile(logPath_), expected + kEnd + "\r\n");
    EXPECT_EQ(calls_, (std::vector<std::string>{"action 2 proceed", "action 3 proceed"}));
    EXPECT_EQ(failures_.LastErrorCode(), eeNone);

    // Without the flag, or without an answer, the report stays as it is.
    TCrashReportParts plain;
    plain.ReportText = "Crashlog x\r\n";
    options_.SetReportFlags(0);
    WriteCrashLog(plain, options_, false, "ignored", notifications_, failures_);
    EXPECT_EQ(plain.ReportText, "Crashlog x\r\n");
    EXPECT_EQ(TLogFile(logPath_).Entries().size(), 2u);
}

TEST_F(CrashLogWriteTest, DuplicatesAreRecognisedAndNotLoggedAgain) {
    options_.SetReportFlags(TCrashModuleOptions::kSkipDuplicates | TCrashModuleOptions::kAskReproduceSteps);
    EXPECT_FALSE(IsDuplicateError(options_, parts_.General));
    WriteCrashLog(parts_, options_, false, "", notifications_, failures_);
    EXPECT_TRUE(IsDuplicateError(options_, parts_.General));
    TCrashExceptionItems other = parts_.General;
    other.Message = "Bad value";
    EXPECT_FALSE(IsDuplicateError(options_, other));
    options_.SetReportFlags(0);
    EXPECT_FALSE(IsDuplicateError(options_, parts_.General));

    const std::string before = parts_.ReportText;
    WriteCrashLog(parts_, options_, true, "Steps", notifications_, failures_);
    EXPECT_EQ(parts_.ReportText, before);
    EXPECT_EQ(TLogFile(logPath_).Entries().size(), 1u);
}

TEST_F(CrashLogWriteTest, WholeLogMailAndDeclinedSave) {
    WriteFile(logPath_, Report("00000001", "Old.") + kEnd);
    options_.SetSendWholeLog(true);
    stopBeforeSave_ = true;
    WriteCrashLog(parts_, options_, false, "", notifications_, failures_);
    EXPECT_EQ(parts_.MailText, Report("00000001", "Old.") + "\r\n\r\n\r\n" + parts_.ReportText + kEnd + "\r\n");
    EXPECT_EQ(ReadFile(logPath_), Report("00000001", "Old.") + kEnd);  // the handler declined the save
    EXPECT_EQ(calls_, (std::vector<std::string>{"action 2 proceed", "action 3 stop"}));

    // Without SaveLogFile nobody is notified and nothing is written.
    calls_.clear();
    options_.SetSaveLogFile(false);
    stopBeforeSave_ = false;
    WriteCrashLog(parts_, options_, false, "", notifications_, failures_);
    EXPECT_TRUE(calls_.empty());
    EXPECT_EQ(ReadFile(logPath_), Report("00000001", "Old.") + kEnd);
}

TEST_F(CrashLogWriteTest, FailedSaveIsRecordedAndCanBeRetried) {
    options_.SetReportFlags(TCrashModuleOptions::kAskReproduceSteps);
    logPath_ = PathOf("later/Tool.clog");
    options_.SetOutputPath(logPath_);
    int errors = 0;
    notifications_.ActionError = [&](int action, bool& retry) {
        ++errors;
        EXPECT_EQ(action, kActionErrorSaveLog);
        EXPECT_EQ(failures_.LastErrorCode(), eeLogError);
        EXPECT_EQ(failures_.LastErrorMessage(), "[Log] Cannot create file \"" + logPath_ + "\".");
        fs::create_directories(folder_ / "later");
        retry = errors == 1;
    };
    WriteCrashLog(parts_, options_, false, "Steps.", notifications_, failures_);
    EXPECT_EQ(errors, 1);
    const std::vector<std::string> entries = TLogFile(logPath_).Entries();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].find("Steps."), entries[0].rfind("Steps."));  // joined once despite the retry
    EXPECT_EQ(calls_, (std::vector<std::string>{"action 2 proceed", "action 3 stop"}));

    // Without an error handler the failure is only recorded.
    notifications_.ActionError = nullptr;
    options_.SetOutputPath(PathOf("nowhere/Tool.clog"));
    WriteCrashLog(parts_, options_, false, "", notifications_, failures_);
    EXPECT_EQ(failures_.LastErrorCode(), eeLogError);
}

}  // namespace
}  // namespace brenvik
