// This executable's block was written with crash_options_test.ini: the
// options it reads back from itself are those of the file.
#include <gtest/gtest.h>
#include <windows.h>

#include "crash/win32/Win32CrashModule.h"

namespace brenvik {
namespace {

TEST(CrashOptionsFileWine, OwnBlockCarriesTheOptionsFile) {
    TCrashModuleOptions options("", false);
    TModuleData data;
    ASSERT_EQ(LoadModuleDataBlock(GetModuleHandleA(nullptr), options, data), TDataBlockStatus::Loaded);
    EXPECT_EQ(options.MailRecipients(), "support@example.org;second@example.org");
    EXPECT_EQ(options.MailSubject(), "Brenvik options test");
    EXPECT_EQ(options.SendMode(), TCrashModuleOptions::kSendSmtpDirect);
    EXPECT_EQ(options.GetText(2), "Chyba p\xF8i b\xEChu");
    EXPECT_EQ(options.GetText(3), "First line\r\nsecond line");
    // Keys the file leaves out keep their defaults.
    EXPECT_EQ(options.GetText(4), "General");
    EXPECT_EQ(options.SmtpPort(), 25);
}

}  // namespace
}  // namespace brenvik
