#include "platform/Win32ImportJournal.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace brenvik {
namespace {

constexpr std::size_t kJournalsKept = 100;

class Win32JournalFile final : public JournalFile {
public:
    explicit Win32JournalFile(HANDLE file) : file_(file) {}
    ~Win32JournalFile() override { CloseHandle(file_); }

    // Unbuffered in the process: what WriteFile took is the file system's.
    bool Append(std::string_view text) override {
        DWORD written = 0;
        return WriteFile(file_, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
               written == text.size();
    }

private:
    HANDLE file_;
};

std::string JournalFolder() {
    char base[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableA("LOCALAPPDATA", base, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    const std::string brenvik = std::string(base, length) + "\\Brenvik";
    CreateDirectoryA(brenvik.c_str(), nullptr);
    const std::string imports = brenvik + "\\Imports";
    CreateDirectoryA(imports.c_str(), nullptr);
    const DWORD attributes = GetFileAttributesA(imports.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return {};
    return imports;
}

// Names sort by time: the oldest journals go first.
void KeepNewest(const std::string& folder, std::size_t count) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found{};
    HANDLE search = FindFirstFileA((folder + "\\*.txt").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.emplace_back(found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    if (names.size() <= count) return;
    std::sort(names.begin(), names.end());
    for (std::size_t i = 0; i + count < names.size(); ++i) DeleteFileA((folder + "\\" + names[i]).c_str());
}

}  // namespace

std::unique_ptr<JournalFile> CreateImportJournalFile() {
    const std::string folder = JournalFolder();
    if (folder.empty()) return nullptr;
    SYSTEMTIME now{};
    GetLocalTime(&now);
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%04u-%02u-%02u %02u-%02u-%02u", now.wYear, now.wMonth, now.wDay, now.wHour,
                  now.wMinute, now.wSecond);
    // Two imports within one second get a numbered second name.
    for (int attempt = 1; attempt < 100; ++attempt) {
        const std::string name = folder + "\\" + stamp + (attempt > 1 ? " (" + std::to_string(attempt) + ")" : "") + ".txt";
        HANDLE file = CreateFileA(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            KeepNewest(folder, kJournalsKept);
            return std::make_unique<Win32JournalFile>(file);
        }
        if (GetLastError() != ERROR_FILE_EXISTS) return nullptr;
    }
    return nullptr;
}

}  // namespace brenvik
