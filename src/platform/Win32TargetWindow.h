#pragma once
#include "app/ImportSession.h"

namespace brenvik {

// Finds the target program by window class and sends it messages with the
// ANSI functions, as the target expects.
TargetWindowApi& SystemTargetWindowApi();

}  // namespace brenvik
