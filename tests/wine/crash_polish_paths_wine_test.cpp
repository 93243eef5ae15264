// Under a Polish Windows (ANSI code page 1250) a user's folders carry Polish
// letters, "C:\Users\Łukasz\AppData\Local\Temp" say. The report file, the
// screenshot and the log must land in that very folder, under their names.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "crash/mail/ReportAttachments.h"
#include "crash/report/TLogFile.h"
#include "crash/win32/Win32Screenshot.h"

namespace brenvik {
namespace {

const char kFolderAnsi[] = "\xA3ukasz \xAF\xF3\xB3\xE6";  // "Łukasz Żółć" in Windows-1250
const wchar_t kFolderWide[] = L"\u0141ukasz \u017B\u00F3\u0142\u0107";

std::string TempPathAnsi() {
    char path[MAX_PATH] = {};
    return std::string(path, GetTempPathA(MAX_PATH, path));
}

std::wstring TempPathWide() {
    wchar_t path[MAX_PATH] = {};
    return std::wstring(path, GetTempPathW(MAX_PATH, path));
}

// Found through the wide names the user sees in Explorer.
bool ExistsAsNamed(const std::wstring& fileName) {
    return GetFileAttributesW((TempPathWide() + kFolderWide + L"\\" + fileName).c_str()) != INVALID_FILE_ATTRIBUTES;
}

TEST(CrashPolishPaths, ReportScreenshotAndLogLandInTheFolderAsNamed) {
    ASSERT_EQ(GetACP(), 1250u) << "run with the Polish locale of the test session";
    const std::string folder = TempPathAnsi() + kFolderAnsi;
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);

    const std::string report = folder + "\\Raport b\xB3\xEA" "du.txt";  // "Raport błędu.txt"
    ASSERT_TRUE(WriteReportTextFile(report, "first line\nsecond line"));
    EXPECT_TRUE(ExistsAsNamed(L"Raport b\u0142\u0119du.txt"));
    const std::vector<TMailAttachment> attachments = LoadMailAttachments({report, ""});
    ASSERT_EQ(attachments.size(), 1u);
    EXPECT_EQ(attachments[0].FileName, "Raport b\xB3\xEA" "du.txt");
    EXPECT_EQ(attachments[0].Content, "first line\r\nsecond line\r\n");

    const std::string screenshot = folder + "\\Zrzut ekranu.png";
    ASSERT_TRUE(WriteScreenshotPng(screenshot));
    EXPECT_TRUE(ExistsAsNamed(L"Zrzut ekranu.png"));
    EXPECT_TRUE(AttachmentPresent(screenshot));

    TLogFile log(folder + "\\Brenvik.clog");
    log.Add("Crashlog 4.5.4\r\nReport\r\n", 32);
    log.Save();
    EXPECT_TRUE(ExistsAsNamed(L"Brenvik.clog"));
    EXPECT_EQ(TLogFile(folder + "\\Brenvik.clog").Entries().size(), 1u);

    for (const std::string& file : {report, screenshot, folder + "\\Brenvik.clog"}) DeleteFileA(file.c_str());
    RemoveDirectoryA(folder.c_str());
}

}  // namespace
}  // namespace brenvik
