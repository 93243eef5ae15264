#pragma once
#include <functional>
#include <string>
#include <vector>

namespace brenvik {

// List of texts that reports every change through OnChange, so the option
// object that owns it can run its change check.
class TCrashFilterList {
public:
    int Count() const { return static_cast<int>(items_.size()); }
    const std::string& operator[](int index) const { return items_.at(static_cast<std::size_t>(index)); }
    // The item at index, or the empty text past the end.
    std::string ItemOrEmpty(int index) const { return index < Count() ? (*this)[index] : std::string(); }

    void Add(std::string text) {
        items_.push_back(std::move(text));
        Notify();
    }
    void Clear() {
        items_.clear();
        Notify();
    }
    void Assign(const TCrashFilterList& source) {
        items_ = source.items_;
        Notify();
    }

    std::function<void()> OnChange;

private:
    void Notify() {
        if (OnChange) OnChange();
    }

    std::vector<std::string> items_;
};

}  // namespace brenvik
