#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/Exception.h"

namespace brenvik {

// Raised when the log file cannot be written.
class ECrashLogError : public Exception {
public:
    using Exception::Exception;
};

// The log of the last reports: one entry per report, each starting with a
// "Crashlog " line and closed by empty lines. The file name is the 8-bit
// (ANSI on Windows) name, handed to the C runtime as is.
class TLogFile {
public:
    // Reads the file when it exists; a missing file gives an empty log, an
    // unreadable one raises ECrashLogError.
    explicit TLogFile(std::string fileName);

    // Keeps at most `maximum` entries, the new one included.
    void Add(std::string_view reportText, std::int32_t maximum);
    // True when an entry holds every key line ("\r\n  2.2 ...") with exactly
    // the paired value after its ": ".
    bool IsDuplicate(const std::vector<std::string>& keys, const std::vector<std::string>& values) const;
    std::string Text() const;
    // Rewrites the whole file; raises ECrashLogError when it cannot.
    void Save() const;

    const std::vector<std::string>& Entries() const { return entries_; }
    const std::string& FileName() const { return fileName_; }

    // The entries of a log file's text; text outside entries is dropped.
    static std::vector<std::string> SplitEntries(std::string_view text);

private:
    std::string fileName_;
    std::vector<std::string> entries_;
};

}  // namespace brenvik
