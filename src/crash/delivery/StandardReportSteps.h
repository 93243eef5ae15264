#pragma once
#include "crash/intercept/Crashlog.h"

namespace brenvik {

// Plugs the screenshot and the report mail into the running facility's
// pipeline, and the mail of its own failures into its failure log.
void InstallStandardReportSteps(TCrashlog& facility);

}  // namespace brenvik
