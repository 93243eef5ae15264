#pragma once
#include <memory>
#include <string>
#include <vector>

#include "ui/frame/MarkupPicture.h"

namespace brenvik {

class TPictureStore;

class PictureStoreObserver {
public:
    virtual void PictureStoreDestroyed(TPictureStore& store) = 0;

protected:
    ~PictureStoreObserver() = default;
};

// A named picture of a picture store; the item owns its picture.
class TPictureStoreItem {
public:
    explicit TPictureStoreItem(PictureLoader& loader) : picture_(loader) {}

    TMarkupPicture& Picture() { return picture_; }
    // Copies the given picture's data.
    void SetPicture(const TMarkupPicture& picture) { picture_.Assign(&picture); }
    // Copies name, tag and picture.
    void Assign(const TPictureStoreItem& other);

    std::string Name;
    int Tag = 0;

private:
    TMarkupPicture picture_;
};

// Named pictures that markup refers to by name.
class TPictureStore {
public:
    explicit TPictureStore(PictureLoader& loader) : loader_(loader) {}
    ~TPictureStore();

    TPictureStoreItem& Add();
    int Count() const { return static_cast<int>(items_.size()); }
    TPictureStoreItem& Items(int index) const { return *items_.at(static_cast<size_t>(index)); }
    // The picture of the first item whose Name equals name without regard to case.
    TMarkupPicture* FindPicture(const std::string& name) const;

    void Subscribe(PictureStoreObserver& observer) { observers_.push_back(&observer); }
    void Unsubscribe(PictureStoreObserver& observer) { std::erase(observers_, &observer); }

private:
    PictureLoader& loader_;
    std::vector<std::unique_ptr<TPictureStoreItem>> items_;
    std::vector<PictureStoreObserver*> observers_;
};

}  // namespace brenvik
