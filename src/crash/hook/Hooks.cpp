#include "crash/hook/Hooks.h"

namespace brenvik {

void UnhookAll() {
    UnhookAllProcedures();
    UnhookAllImports();
}

}  // namespace brenvik
