#include "app/ImportJournal.h"

namespace brenvik {

ImportJournal::ImportJournal(std::unique_ptr<JournalFile> file, FailureReport report)
    : file_(std::move(file)), report_(std::move(report)) {
    if (!file_) Fail();
}

void ImportJournal::Begin(const std::string& portName) { Write("Brenvik import from " + portName); }

void ImportJournal::Received(int number, const std::string& code) {
    Write("received " + std::to_string(number) + ": " + code);
}

void ImportJournal::Fed(int number, const std::string& code) { Write("fed " + std::to_string(number) + ": " + code); }

void ImportJournal::Rejected(int number, std::size_t length, int expectedLength) {
    Write("rejected " + std::to_string(number) + ": length " + std::to_string(length) + ", not " +
          std::to_string(expectedLength));
}

void ImportJournal::NotDelivered(int number, const std::string& code) {
    Write("not delivered " + std::to_string(number) + ": " + code);
}

void ImportJournal::End(int received, int fed, int rejected) {
    Write("end: " + std::to_string(received) + " received, " + std::to_string(fed) + " fed, " +
          std::to_string(rejected) + " rejected");
}

void ImportJournal::Write(const std::string& line) {
    if (failed_) return;
    if (!file_->Append(line + "\r\n")) Fail();
}

void ImportJournal::Fail() {
    failed_ = true;
    if (report_) report_("Import journal: cannot write the journal of this import; the import goes on without it.");
}

}  // namespace brenvik
