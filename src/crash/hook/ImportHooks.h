#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "crash/hook/HookErrors.h"

namespace brenvik {

// Points every import slot of `module` that holds `target` at `replacement`.
// A slot is found through the indirect jumps and calls of the module's code
// that name it. Returns `target`, or null when `silent` is set and no slot
// was found (else EHookingError). A null target raises EProcNull. Unless
// `restoring`, the redirection is remembered for UnhookAllImports.
void* HookImport(HMODULE module, void* target, void* replacement, bool restoring, bool silent,
                 const std::string& name);

// Looks `procedure` up in the already loaded `library`, stores its address in
// `target` and redirects its import slots in each listed module that is
// loaded. True when any module was changed.
bool HookImportInModules(const std::vector<std::string>& moduleNames, const std::string& library, bool silent,
                         void*& target, void* replacement, const std::string& procedure);

// Every remembered redirection, in the order it was made, undone.
void UnhookAllImports();

}  // namespace brenvik
