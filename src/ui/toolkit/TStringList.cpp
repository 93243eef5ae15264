#include "ui/toolkit/TStringList.h"

#include "base/Text.h"

namespace brenvik {

int TStringList::AddObject(const std::string& text, TObject* object) {
    entries_.push_back({text, object});
    return Count() - 1;
}

int TStringList::IndexOf(const std::string& text) const {
    for (int i = 0; i < Count(); ++i)
        if (SameTextCp1250(entries_[static_cast<size_t>(i)].Text, text)) return i;
    return -1;
}

}  // namespace brenvik
