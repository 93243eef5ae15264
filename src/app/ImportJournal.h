#pragma once
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace brenvik {

// Where a journal's text goes: appended straight to the file system, so a
// crash a moment later loses nothing written.
class JournalFile {
public:
    virtual ~JournalFile() = default;
    // False when the text could not be written whole.
    virtual bool Append(std::string_view text) = 0;
};

// The record of one import: every line the collector delivered, written
// before it is acknowledged, and what became of it. Windows-1250 text, CRLF
// lines:
//
//   Brenvik import from Kolektor danych (COM1)
//   received 1: 5901234123457
//   fed 1: 5901234123457
//   received 2: 123
//   rejected 2: length 3, not 13
//   received 3: 4006381333931
//   not delivered 3: 4006381333931
//   end: 3 received, 1 fed, 1 rejected
//
// A journal that cannot be written never stops the import: the first
// failure is reported once, and the journal stays silent from then on.
class ImportJournal {
public:
    using FailureReport = std::function<void(const std::string& message)>;

    // No file (it could not be created): nothing is written, the failure is reported.
    ImportJournal(std::unique_ptr<JournalFile> file, FailureReport report);

    void Begin(const std::string& portName);
    void Received(int number, const std::string& code);
    void Fed(int number, const std::string& code);
    void Rejected(int number, std::size_t length, int expectedLength);
    void NotDelivered(int number, const std::string& code);
    void End(int received, int fed, int rejected);

private:
    void Write(const std::string& line);
    void Fail();

    std::unique_ptr<JournalFile> file_;
    FailureReport report_;
    bool failed_ = false;
};

}  // namespace brenvik
