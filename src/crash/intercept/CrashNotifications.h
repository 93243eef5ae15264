#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "crash/intercept/ThrownObject.h"
#include "crash/options/TCrashModuleOptions.h"
#include "crash/stack/CrashStackTypes.h"

namespace brenvik {

// The exception being processed, as notification handlers see it.
struct TCrashExceptionRecord {
    const TRaisedObject* ExceptionObject = nullptr;
    CrashAddress ExceptionAddress = 0;
    DWORD ThreadId = 0;
    std::string ReportText;
    const TCrashModulesList* ModulesList = nullptr;
    const TCrashStackList* CallStack = nullptr;
    TCrashModuleOptions* Options = nullptr;
};

// Action codes of the action notification.
enum TCrashAction : int {
    caBeforeShow = 0,
    caAfterShow = 1,
    caBeforeSaveLog = 2,
    caAfterSaveLog = 3,
    caBeforeSendMail = 4,
    caAfterSendMail = 5,
    caBeforeTerminate = 6,
};

// The host program's handlers; the program itself installs none. While a
// report runs beside a waiting main thread they run on the main thread.
struct TCrashNotificationHandlers {
    // Clearing `handled` passes the exception on to the toolkit's own handler.
    std::function<void(TCrashExceptionRecord& record, bool& handled)> Exception;
    std::function<void(TCrashExceptionRecord& record, int action, bool& proceed)> Action;
    // Codes 3 (saving the log failed) and 5 (mailing failed).
    std::function<void(TCrashExceptionRecord& record, int action, bool& retry)> ActionError;
};

}  // namespace brenvik
