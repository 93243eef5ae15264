#pragma once

namespace brenvik {

// Root of the objects that lists can carry attached to their entries.
class TObject {
public:
    virtual ~TObject() = default;
};

}  // namespace brenvik
