// The import journal's files under "%LOCALAPPDATA%\Brenvik\Imports", with
// LOCALAPPDATA pointed at a folder of the test's own.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/Win32ImportJournal.h"

namespace brenvik {
namespace {

class ImportJournalFiles : public ::testing::Test {
protected:
    void SetUp() override {
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        base_ = std::string(temp) + "brenvik-journal-" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(base_.c_str(), nullptr);
        SetEnvironmentVariableA("LOCALAPPDATA", base_.c_str());
    }
    void TearDown() override {
        for (const std::string& name : Journals()) DeleteFileA((Folder() + "\\" + name).c_str());
        RemoveDirectoryA(Folder().c_str());
        RemoveDirectoryA((base_ + "\\Brenvik").c_str());
        DeleteFileA((base_ + "\\Brenvik").c_str());
        RemoveDirectoryA(base_.c_str());
    }

    std::string Folder() const { return base_ + "\\Brenvik\\Imports"; }
    std::vector<std::string> Journals() const {
        std::vector<std::string> names;
        WIN32_FIND_DATAA found{};
        HANDLE search = FindFirstFileA((Folder() + "\\*.txt").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) return names;
        do names.emplace_back(found.cFileName);
        while (FindNextFileA(search, &found));
        FindClose(search);
        return names;
    }

    std::string base_;
};

TEST_F(ImportJournalFiles, EachImportWritesAFileNamedByItsTimeAndTheNewestHundredAreKept) {
    {
        auto journal = CreateImportJournalFile();
        ASSERT_TRUE(journal);
        EXPECT_TRUE(journal->Append("received 1: 5901234123457\r\n"));
        // Readable by others while the import still writes.
        const std::vector<std::string> names = Journals();
        ASSERT_EQ(names.size(), 1u);
        std::ifstream file(Folder() + "\\" + names[0], std::ios::binary);
        std::stringstream text;
        text << file.rdbuf();
        EXPECT_EQ(text.str(), "received 1: 5901234123457\r\n");
        // "2026-12-09 13-55-02.txt": the date and time of the import.
        EXPECT_EQ(names[0].size(), 23u) << names[0];
        EXPECT_EQ(names[0].substr(4, 1) + names[0].substr(7, 1) + names[0].substr(10, 1), "-- ");
    }
    // Old journals (their names sort first) make room for new ones.
    for (int i = 0; i < 105; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "\\2000-01-01 00-00-%03d.txt", i);
        std::ofstream(Folder() + name) << "old";
    }
    ASSERT_TRUE(CreateImportJournalFile());
    const std::vector<std::string> kept = Journals();
    EXPECT_EQ(kept.size(), 100u);
    EXPECT_EQ(std::count(kept.begin(), kept.end(), "2000-01-01 00-00-000.txt"), 0);
}

TEST_F(ImportJournalFiles, NoJournalWhereTheFolderCannotBeMade) {
    std::ofstream(base_ + "\\Brenvik") << "a file where the folder should be";
    EXPECT_FALSE(CreateImportJournalFile());
}

}  // namespace
}  // namespace brenvik
