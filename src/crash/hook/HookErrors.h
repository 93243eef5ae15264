#pragma once
#include <string>

#include "base/Exception.h"

namespace brenvik {

// Base of every failure to install a hook.
class EHookError : public Exception {
public:
    using Exception::Exception;
};

class EProcNull : public EHookError {
public:
    explicit EProcNull(const std::string& name)
        : EHookError("Cannot hook a null procedure (\"" + name + "\").") {}
};

class EHookingError : public EHookError {
public:
    explicit EHookingError(const std::string& name) : EHookError("Cannot hook the procedure \"" + name + "\".") {}
};

// Code in the upper half of the address space is shared by every process on
// the old non-NT systems: patching it would change them all.
class ESharedArea : public EHookError {
public:
    explicit ESharedArea(const std::string& moduleFileName)
        : EHookError("Cannot hook the module \"" + moduleFileName + "\" located into the shared-area.") {}
};

}  // namespace brenvik
