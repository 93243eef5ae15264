#include "ui/toolkit/TComponent.h"

#include <algorithm>

#include "base/Exception.h"
#include "base/Text.h"
#include "ui/toolkit/FormDesign.h"

namespace brenvik {

TComponent::TComponent(TComponent* owner) : owner_(owner) {
    if (owner_) owner_->owned_.push_back(this);
}

TComponent::~TComponent() {
    for (TComponent* watcher : std::vector<TComponent*>(watchers_)) {
        watcher->RemoveFreeNotification(this);
        watcher->Notification(this);
    }
    while (!owned_.empty()) delete owned_.back();  // each removes itself below
    if (owner_) {
        auto& siblings = owner_->owned_;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    }
}

void TComponent::FreeNotification(TComponent* other) {
    if (!other || other == this) return;
    // Both sides keep the other, so whichever goes first unhooks itself.
    if (std::find(other->watchers_.begin(), other->watchers_.end(), this) == other->watchers_.end())
        other->watchers_.push_back(this);
    if (std::find(watchers_.begin(), watchers_.end(), other) == watchers_.end()) watchers_.push_back(other);
}

void TComponent::RemoveFreeNotification(TComponent* other) {
    if (!other) return;
    other->watchers_.erase(std::remove(other->watchers_.begin(), other->watchers_.end(), this),
                           other->watchers_.end());
    watchers_.erase(std::remove(watchers_.begin(), watchers_.end(), other), watchers_.end());
}

TComponent* TComponent::FindComponent(const std::string& name) const {
    for (auto* component : owned_)
        if (SameTextCp1250(component->Name, name)) return component;
    return nullptr;
}

void TComponent::ApplyProperty(const DesignProperty& property, TForm&) {
    throw Exception(Name + ": unknown property " + property.Name);
}

}  // namespace brenvik
