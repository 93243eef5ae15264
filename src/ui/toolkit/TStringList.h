#pragma once
#include <string>
#include <vector>

#include "base/TObject.h"

namespace brenvik {

// Unsorted list of texts, each with an optional attached object that the list
// does not own; duplicates allowed; searched without regard to case.
class TStringList {
public:
    struct Entry {
        std::string Text;
        TObject* Object = nullptr;
    };

    virtual ~TStringList() = default;

    int Count() const { return static_cast<int>(entries_.size()); }
    const Entry& operator[](int index) const { return entries_.at(static_cast<size_t>(index)); }
    int AddObject(const std::string& text, TObject* object);
    int Add(const std::string& text) { return AddObject(text, nullptr); }
    void SetObject(int index, TObject* object) { entries_.at(static_cast<size_t>(index)).Object = object; }
    // Index of the first entry equal to text without regard to case, or -1.
    int IndexOf(const std::string& text) const;
    virtual void Clear() { entries_.clear(); }

private:
    std::vector<Entry> entries_;
};

}  // namespace brenvik
