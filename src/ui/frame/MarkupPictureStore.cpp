#include "ui/frame/MarkupPictureStore.h"

#include "base/Text.h"

namespace brenvik {

void TPictureStoreItem::Assign(const TPictureStoreItem& other) {
    Name = other.Name;
    Tag = other.Tag;
    picture_.Assign(&other.picture_);
}

TPictureStore::~TPictureStore() {
    auto observers = observers_;
    for (PictureStoreObserver* observer : observers) observer->PictureStoreDestroyed(*this);
}

TPictureStoreItem& TPictureStore::Add() { return *items_.emplace_back(std::make_unique<TPictureStoreItem>(loader_)); }

TMarkupPicture* TPictureStore::FindPicture(const std::string& name) const {
    for (const auto& item : items_)
        if (SameTextCp1250(item->Name, name)) return &item->Picture();
    return nullptr;
}

}  // namespace brenvik
