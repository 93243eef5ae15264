#pragma once
#include "crash/hook/ImportHooks.h"
#include "crash/hook/ProcedureHooks.h"

namespace brenvik {

// At the facility's shutdown: every code patch, then every import
// redirection, undone; both lists end empty.
void UnhookAll();

}  // namespace brenvik
