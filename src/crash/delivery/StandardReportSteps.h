#pragma once
#include "crash/intercept/Crashlog.h"

namespace brenvik {

// Plugs the exception dialog, the request dialog, the screenshot and the
// report mail with its progress dialog into the running facility's pipeline,
// and the mail of its own failures into its failure log.
void InstallStandardReportSteps(TCrashlog& facility);

}  // namespace brenvik
