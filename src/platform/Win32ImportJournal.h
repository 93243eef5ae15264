#pragma once
#include <memory>

#include "app/ImportJournal.h"

namespace brenvik {

// A new journal file in "%LOCALAPPDATA%\Brenvik\Imports", named by the
// local date and time of the import; the folder keeps the newest 100
// journals. None when the folder or the file cannot be made.
std::unique_ptr<JournalFile> CreateImportJournalFile();

}  // namespace brenvik
