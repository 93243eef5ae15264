#pragma once
#include <string>

#include "crash/hook/HookErrors.h"

namespace brenvik {

// Patches the first bytes of `procedure` with a jump to `replacement` and
// returns the pass-through stub: calling it runs the procedure's own code with
// the caller's arguments. Import thunks are followed on both addresses first.
// Raises EProcNull, ESharedArea or EHookingError; `name` is for the message.
void* HookProcedure(void* procedure, void* replacement, const std::string& name);

template <class Function>
Function HookProcedure(Function procedure, Function replacement, const std::string& name) {
    return reinterpret_cast<Function>(
        HookProcedure(reinterpret_cast<void*>(procedure), reinterpret_cast<void*>(replacement), name));
}

// Puts the procedure's own bytes back and frees the record of `stub` (a value
// HookProcedure returned). A record that calls are still running through is
// kept, so those calls can return through it.
void UnhookProcedure(void* stub);

// Every hooked procedure, in the order it was hooked, unhooked.
void UnhookAllProcedures();

}  // namespace brenvik
