#pragma once
#include "base/Exception.h"

namespace brenvik {

// Stands for a main thread that stopped answering: the freeze watchdog
// reports it like any other exception, with the frozen thread's call stack.
class EFrozenApplication : public Exception {
public:
    using Exception::Exception;
};

}  // namespace brenvik
