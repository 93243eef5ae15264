#pragma once
#include <memory>
#include <string>
#include <vector>

#include "ui/frame/MarkupPicture.h"

namespace brenvik {

// The pictures a label loaded by address, owned here.
class TMarkupPictureCache {
public:
    explicit TMarkupPictureCache(PictureLoader& loader) : loader_(loader) {}

    TMarkupPicture& AddPicture() { return *pictures_.emplace_back(std::make_unique<TMarkupPicture>(loader_)); }
    // Exact, case-sensitive comparison of addresses; first match.
    TMarkupPicture* FindPicture(const std::string& address) const {
        for (const auto& picture : pictures_)
            if (picture->Address() == address) return picture.get();
        return nullptr;
    }
    int Count() const { return static_cast<int>(pictures_.size()); }
    TMarkupPicture& Items(int index) const { return *pictures_.at(static_cast<size_t>(index)); }
    void ClearPictures() { pictures_.clear(); }

private:
    PictureLoader& loader_;
    std::vector<std::unique_ptr<TMarkupPicture>> pictures_;
};

}  // namespace brenvik
