#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <unistd.h>

#include "crash/options/CrashOptionsFile.h"

namespace brenvik {
namespace {

namespace fs = std::filesystem;

std::string Saved(const TCrashModuleOptions& options) {
    TCrashStreamWriter stream;
    options.SaveToStream(stream);
    return stream.Bytes();
}

// Every key but the texts and filters, each away from its default; mixed
// line ends, spacing and key case, as hand-edited files have them.
const char kEveryKeyChanged[] =
    "; support settings\r\n"
    "\r\n"
    "MailRecipients = help@example.org;ops@example.org\r\n"
    "mailsubject=Brenvik crashed\n"
    "MailBody=Dear support,\\nthe log: C:\\\\Temp\\\\x.clog\n"
    "SendMode=smtp\n"
    "SmtpServer=smtp.example.org\n"
    "SmtpPort=587\n"
    "SmtpUser=first\n"
    "SmtpUser=user\n"
    "SmtpPassword=se=cret\n"
    "SmtpFrom=me@example.org\n"
    "\tOutputPath=E:\\Logs\\new\n"
    "ProjectEnabled=false\n"
    "UseFilter=0\n"
    "SkipDuplicates=1\n"
    "AskReproduceSteps=TRUE\n"
    "ShowReport=0\n"
    "ReportInBody=1\n"
    "SendWholeLog=1\n"
    "AttachScreenshot=true\n"
    "ShowSendProgress=False\n"
    "SaveLogFile=0\n"
    "FLATDIALOGLOOK=0\n"
    "FreezeCheck=1\n"
    "FreezeTimeout=0x11\n"
    "FreezeMessage=Frozen!\n"
    "TerminateButtonAfterErrors=0\n"
    "TerminateAction=0\n"
    "TerminateErrorCount=9\n"
    "MaxLogEntries=7\n"
    "DialogStartTab=3\n"
    "LogItems=0x00400001\n";

class CrashOptionsFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() / ("brenvik_options_file_" + std::to_string(::getpid()) + "_" +
                                               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    std::string Write(const std::string& text) const {
        const std::string path = (folder_ / "options.ini").string();
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }

    fs::path folder_;
    TCrashModuleOptions read_{"", false}, expected_{"", false};
};

TEST_F(CrashOptionsFileTest, EveryKindOfKeyReadsBackAsSetByHand) {
    ApplyCrashOptionsFile(Write(std::string(kEveryKeyChanged) +
                                "Text3=Oops.\\nSorry.\n"
                                "text70=Pam\xEC\x9D\n"  // Windows-1250 bytes pass as they stand
                                "Filter=EAbort\n"
                                "Filter=EConvertError | Bad input.\\nTry again.\n"),
                          read_);
    expected_.SetMailRecipients("help@example.org;ops@example.org");
    expected_.SetMailSubject("Brenvik crashed");
    expected_.SetMailBody("Dear support,\r\nthe log: C:\\Temp\\x.clog");
    expected_.SetSendMode(TCrashModuleOptions::kSendSmtpServer);
    expected_.SetSmtpServer("smtp.example.org");
    expected_.SetSmtpPort(587);
    expected_.SetSmtpUser("user");
    expected_.SetSmtpPassword("se=cret");
    expected_.SetSmtpFrom("me@example.org");
    expected_.SetOutputPath("E:\\Logs\\new");
    expected_.SetProjectEnabled(false);
    expected_.SetUseFilter(false);
    expected_.SetReportFlags(TCrashModuleOptions::kSkipDuplicates | TCrashModuleOptions::kAskReproduceSteps);
    expected_.SetShowReport(false);
    expected_.SetReportInBody(true);
    expected_.SetSendWholeLog(true);
    expected_.SetAttachScreenshot(true);
    expected_.SetShowSendProgress(false);
    expected_.SetSaveLogFile(false);
    expected_.SetFlatDialogLook(false);
    expected_.SetFreezeCheck(true);
    expected_.SetFreezeTimeout(17);
    expected_.SetFreezeMessage("Frozen!");
    expected_.SetTerminateButtonAfterErrors(false);
    expected_.SetTerminateAction(0);
    expected_.SetTerminateErrorCount(9);
    expected_.SetMaxLogEntries(7);
    expected_.SetDialogStartTab(3);
    expected_.SetLogItems(0x00400001);
    expected_.SetText(3, "Oops.\r\nSorry.");
    expected_.SetText(70, "Pam\xEC\x9D");
    expected_.FilterClasses().Add("EAbort");
    expected_.FilterMessages().Add("");
    expected_.FilterClasses().Add("EConvertError");
    expected_.FilterMessages().Add("Bad input.\r\nTry again.");
    EXPECT_EQ(Saved(read_), Saved(expected_));
}

TEST_F(CrashOptionsFileTest, KeysNotGivenKeepTheirValues) {
    ApplyCrashOptionsFile(Write("; nothing but comments\n\n  \t\n  ; indented\r\n"), read_);
    EXPECT_EQ(Saved(read_), Saved(expected_));
    ApplyCrashOptionsText("MailSubject=Only this", "inline", read_);
    expected_.SetMailSubject("Only this");
    EXPECT_EQ(Saved(read_), Saved(expected_));
}

// Brenvik's block must not change with its file: the file sets every field,
// to the default, whatever came before.
TEST_F(CrashOptionsFileTest, BrenvikFileWritesOutEveryDefault) {
    ApplyCrashOptionsText(kEveryKeyChanged, "changed", read_);
    for (int i = 0; i < kCrashTextCount; ++i) read_.SetText(i, "T");
    ApplyCrashOptionsFile(BRENVIK_APP_OPTIONS_FILE, read_);
    EXPECT_EQ(Saved(read_), Saved(expected_));
}

TEST_F(CrashOptionsFileTest, ErrorsNameFileLineAndProblem) {
    const std::pair<const char*, const char*> cases[] = {
        {"Colour=blue", "unknown key \"Colour\""},
        {"Textual=x", "unknown key \"Textual\""},
        {"MaxLogEntries=12a", "bad number \"12a\" for MaxLogEntries"},
        {"SaveLogFile=yes", "bad switch value \"yes\" for SaveLogFile"},
        {"SmtpPort=65536", "SmtpPort must be 1..65535, not 65536"},
        {"MaxLogEntries=0", "MaxLogEntries must be 1..2147483647, not 0"},
        {"FreezeTimeout=-1", "FreezeTimeout must be 0..2147483647, not -1"},
        {"LogItems=0x1FFFFFFFFFFFFFFFF", "LogItems must be 0..4294967295, not 0x1FFFFFFFFFFFFFFFF"},
        {"SendMode=fax", "bad value \"fax\" for SendMode (none, client, smtp, direct or 0..3)"},
        {"TerminateAction=2", "TerminateAction must be 0..1, not 2"},
        {"Text71=x", "text index 71 out of range 0..70"},
        {"[Mail]", "line without \"=\""},
        {"MailBody=C:\\Temp", "unknown escape \"\\T\" in MailBody"},
        {"Text0=ends in \\", "unknown escape \"\\\" in Text0"},
    };
    for (const auto& [line, problem] : cases) {
        const std::string path =
            Write("; header\r\n\r\nMailSubject=fine\r\n" + std::string(line) + "\r\nMailBody=x\r\n");
        try {
            ApplyCrashOptionsFile(path, read_);
            ADD_FAILURE() << "accepted " << line;
        } catch (const ECrashOptionsFileError& error) {
            EXPECT_EQ(std::string(error.what()).rfind(path + ":4: " + problem, 0), 0u) << error.what();
        }
    }
    const std::string missing = (folder_ / "missing.ini").string();
    EXPECT_THROW(ApplyCrashOptionsFile(missing, read_), ECrashOptionsFileError);
}

}  // namespace
}  // namespace brenvik
