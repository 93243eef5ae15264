#pragma once
#include <exception>

#include "crash/intercept/Crashlog.h"

namespace brenvik {

// The framework handler's hook: toolkit catch-alls (window procedures, the
// message loop, worker threads) call it with the caught exception. True when
// the toolkit's own handler is to run as well.
bool ExceptionManager(const std::exception_ptr& error);

// What the terminate button does: the program ends (or restarts) once the
// report is done.
void RequestProgramTermination();

// The handlers for exceptions no handler catches: a throw reaching
// terminate, a system exception reaching the top of its thread.
void InstallUnhandledHandlers();
void RemoveUnhandledHandlers();

// The freeze watchdog's report of a main thread that stopped answering.
void ReportFrozenApplication(const TFrozenThreadReport& report);

// Records the server's control block for the request in progress when the
// facility's module is a server extension.
void HookServerExtensionEntry(TCrashlog& facility);

}  // namespace brenvik
