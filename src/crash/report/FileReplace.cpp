#include "crash/report/FileReplace.h"

#include <cstdio>

#ifdef _WIN32
#include <windows.h>
#endif

namespace brenvik {
namespace {

bool MoveOver(const std::string& from, const std::string& to) {
#ifdef _WIN32
    return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
#else
    return std::rename(from.c_str(), to.c_str()) == 0;
#endif
}

}  // namespace

bool ReplaceFileContents(const std::string& fileName, std::string_view bytes) {
    const std::string fresh = fileName + ".new";
    std::FILE* file = std::fopen(fresh.c_str(), "wb");
    if (!file) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const bool closed = std::fclose(file) == 0;
    if (written && closed && MoveOver(fresh, fileName)) return true;
    std::remove(fresh.c_str());
    return false;
}

}  // namespace brenvik
