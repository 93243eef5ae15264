#pragma once
#include <string>
#include <vector>

#include "base/TObject.h"

namespace brenvik {

struct DesignProperty;
class TForm;

// A named object owned by another: the owner frees what it owns, in reverse
// order of creation, when it goes away.
class TComponent : public TObject {
public:
    explicit TComponent(TComponent* owner);
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;
    ~TComponent() override;

    std::string Name;
    TComponent* Owner() const { return owner_; }
    int ComponentCount() const { return static_cast<int>(owned_.size()); }
    TComponent* Components(int index) const { return owned_.at(static_cast<size_t>(index)); }
    // Owned component with this name (any case), or null.
    TComponent* FindComponent(const std::string& name) const;

    // Asks to be told (through Notification) when other goes away.
    void FreeNotification(TComponent* other);
    void RemoveFreeNotification(TComponent* other);

    // Applies one property of a stored design; unknown names are an error.
    virtual void ApplyProperty(const DesignProperty& property, TForm& form);

protected:
    // other is being destroyed.
    virtual void Notification(TComponent* /*other*/) {}

private:
    TComponent* owner_;
    std::vector<TComponent*> owned_;
    std::vector<TComponent*> watchers_;  // told when this one goes away; they are told of each other too
};

}  // namespace brenvik
