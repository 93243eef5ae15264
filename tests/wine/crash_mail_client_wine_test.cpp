#include <gtest/gtest.h>

#include "crash/mail/ReportMail.h"
#include "crash/options/TCrashModuleOptions.h"
#include "crash_mail_wine_support.h"
#include "crash/win32/Win32CrashSocketReportMail.h"
#include "crash/win32/Win32Mailto.h"
#include "crash/win32/Win32Mapi.h"

namespace brenvik {
namespace {

namespace fs = std::filesystem;

constexpr const char* kClientsKey = "SOFTWARE\\Clients\\Mail";
constexpr const char* kMailtoKey = "mailto\\shell\\open\\command";

std::string ReadDefault(HKEY root, const char* path, bool& present) {
    HKEY key = nullptr;
    present = RegOpenKeyExA(root, path, 0, KEY_READ, &key) == ERROR_SUCCESS;
    if (!present) return {};
    char data[2048] = {};
    DWORD size = sizeof data - 1;
    present = RegQueryValueExA(key, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size) == ERROR_SUCCESS;
    RegCloseKey(key);
    return data;
}

void WriteValue(HKEY root, const std::string& path, const char* name, const std::string& value) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr), ERROR_SUCCESS);
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);
}

// Registers the test MAPI provider and mailto handler in the session's own
// prefix and puts the prefix's own values back afterwards.
class CrashMailWineClient : public ::testing::Test {
protected:
    void SetUp() override {
        work_ = fs::temp_directory_path() / ("brenvik-mailclient-" + std::to_string(GetCurrentProcessId()));
        fs::create_directories(work_);
        mapiRecord_ = work_ / "mapi.txt";
        mailtoRecord_ = work_ / "mailto.txt";
        SetEnvironmentVariableA("BRENVIK_MAPI_RECORD", mapiRecord_.string().c_str());
        SetEnvironmentVariableA("BRENVIK_MAILTO_RECORD", mailtoRecord_.string().c_str());
        savedClient_ = ReadDefault(HKEY_LOCAL_MACHINE, kClientsKey, hadClient_);
        savedMailto_ = ReadDefault(HKEY_CLASSES_ROOT, kMailtoKey, hadMailto_);
        std::ofstream(work_ / "Brenvik.clog") << "report";
        std::ofstream(work_ / "Screenshot.png") << "png";
    }
    void TearDown() override {
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, (std::string(kClientsKey) + "\\BrenvikTest").c_str());
        if (hadClient_) {
            WriteValue(HKEY_LOCAL_MACHINE, kClientsKey, nullptr, savedClient_);
        } else {
            RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kClientsKey, nullptr);
        }
        if (hadMailto_) {
            WriteValue(HKEY_CLASSES_ROOT, kMailtoKey, nullptr, savedMailto_);
        } else {
            RegDeleteTreeA(HKEY_CLASSES_ROOT, "mailto");
        }
        fs::remove_all(work_);
    }

    void RegisterMapi(const std::string& dllPath) {
        WriteValue(HKEY_LOCAL_MACHINE, kClientsKey, nullptr, "BrenvikTest");
        WriteValue(HKEY_LOCAL_MACHINE, std::string(kClientsKey) + "\\BrenvikTest", "DLLPath", dllPath);
    }
    void UnregisterMapi() { RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kClientsKey, nullptr); }
    void RegisterMailto() {
        WriteValue(HKEY_CLASSES_ROOT, kMailtoKey, nullptr,
                   "\"" + (testing::ProgramFolder() / "crash_mail_mailto_handler.exe").string() + "\" %1");
    }
    TReportAttachmentPaths Attachments() const {
        return {(work_ / "Brenvik.clog").string(), (work_ / "Screenshot.png").string()};
    }

    fs::path work_, mapiRecord_, mailtoRecord_;
    std::string savedClient_, savedMailto_;
    bool hadClient_ = false, hadMailto_ = false;
    testing::TestFailureLog failures_;
};

TEST_F(CrashMailWineClient, MapiSendsThroughTheDefaultMailClient) {
    RegisterMapi((testing::ProgramFolder() / "crash_mail_test_mapi.dll").string());
    ASSERT_TRUE(SendReportMapi("a@x.test; b@y.test", "Crash", "Note text", Attachments(), failures_.Log));
    const std::string expected =
        "logon flags=1\n"
        "send session=0 flags=1\n"
        "subject=Crash\n"
        "note=Note text\n"
        "to class=1 name=Name of a@x.test address=SMTP:a@x.test id=ID42\n"
        "to class=1 name=Name of b@y.test address=SMTP:b@y.test id=ID42\n"
        "file position=-1 path=" + (work_ / "Brenvik.clog").string() + " name=Brenvik.clog\n"
        "file position=-1 path=" + (work_ / "Screenshot.png").string() + " name=Screenshot.png\n"
        "logoff session=77\n";
    EXPECT_EQ(testing::ReadFileBytes(mapiRecord_), expected);
    EXPECT_EQ(failures_.Log.LastErrorCode(), eeNone);
}

TEST_F(CrashMailWineClient, InternalErrorReportGoesToTheMakerWithTheTrace) {
    RegisterMapi((testing::ProgramFolder() / "crash_mail_test_mapi.dll").string());
    const std::string trace = (work_ / "Brenvik.log").string();
    std::ofstream(trace) << "trace";
    ASSERT_TRUE(SendInternalErrorMapi(trace, "bugs@brenvik.test", "Crashlog 4.5.4 critical bug.", failures_.Log));
    const std::string recorded = testing::ReadFileBytes(mapiRecord_);
    EXPECT_NE(recorded.find("subject=Crashlog 4.5.4 critical bug.\nnote=Crashlog 4.5.4 critical bug.\n"
                            "to class=1 name=Name of bugs@brenvik.test address=SMTP:bugs@brenvik.test id=ID42\n"
                            "file position=-1 path=" + trace + " name=Brenvik.log\nlogoff"),
              std::string::npos)
        << recorded;
}

TEST_F(CrashMailWineClient, MapiFailuresAreRecordedOrSilentAsTheyShouldBe) {
    RegisterMapi((testing::ProgramFolder() / "crash_mail_test_mapi.dll").string());
    EXPECT_FALSE(SendReportMapi("unknown@x.test", "Crash", "n", {}, failures_.Log));
    EXPECT_EQ(failures_.Log.LastErrorCode(), eeNone);
    EXPECT_EQ(testing::ReadFileBytes(mapiRecord_), "logon flags=1\nlogoff session=77\n");

    EXPECT_FALSE(SendReportMapi("a@x.test", "please fail", "n", {}, failures_.Log));
    EXPECT_EQ(failures_.Log.LastErrorCode(), eeEmailMAPIError);
    EXPECT_EQ(failures_.Log.LastErrorMessage(), "Cannot send the MAPI message.");

    RegisterMapi("kernel32.dll");
    EXPECT_FALSE(SendReportMapi("a@x.test", "s", "n", {}, failures_.Log));
    EXPECT_EQ(failures_.Log.LastErrorMessage(), "Cannot found the MAPI functions.");
}

TEST_F(CrashMailWineClient, MailClientModeFallsBackToTheMailtoHandler) {
    UnregisterMapi();
    RegisterMailto();
    TCrashModuleOptions options("Brenvik.exe", false);
    options.SetSendMode(TCrashModuleOptions::kSendMailClient);
    options.SetMailRecipients("dev@x.test");
    options.SetMailSubject("Crash & report");
    options.SetMailBody("Body&text");
    const TReportMailJob job{"report # 1?\r\n.\r\n100%", "steps", (work_ / "Brenvik.clog").string(), "", {}, {}, {}};
    ASSERT_TRUE(SendReportMailWin32(options, job, failures_.Log, {})) << failures_.Log.LastErrorMessage();
    const std::string recorded = testing::ReadFileBytes(mailtoRecord_);
    EXPECT_NE(recorded.find("mailto:dev@x.test?Subject=Crash%20%26%20report&Body=Body%26text%0D%0A%0D%0A%0D%0A"
                            "report%20%23%201%3F%0D%0A.%0D%0A100%25%0D%0A%0D%0A%0D%0Asteps"),
              std::string::npos)
        << recorded;
}

TEST_F(CrashMailWineClient, WithoutAMailtoHandlerTheShellErrorIsRecorded) {
    RegDeleteTreeA(HKEY_CLASSES_ROOT, "mailto");
    EXPECT_FALSE(SendReportMailto("dev@x.test", "s", "b", "r", "", failures_.Log));
    EXPECT_EQ(failures_.Log.LastErrorCode(), eeEmailShellError);
    EXPECT_FALSE(failures_.Log.LastErrorMessage().empty());
}

}  // namespace
}  // namespace brenvik
