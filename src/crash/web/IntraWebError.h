#pragma once
#include <functional>
#include <string>

#include "crash/report/CrashFailureLog.h"
#include "ui/toolkit/TStringList.h"

namespace brenvik {

// Set by the program's integration with its web-application framework;
// without them the framework's error path is never taken.
struct TIntraWebHooks {
    void* Application = nullptr;
    void* ServerController = nullptr;
    // The controller's "HTMLHeaders" list, or nullptr when it has none.
    std::function<TStringList*(void* controller)> HtmlHeaders;
    std::function<void(void* application, const std::string& text, int kind)> ShowMessage;

    bool Present() const { return Application != nullptr || ServerController != nullptr || ShowMessage != nullptr; }
};

// Shows `message` in the running web application and puts the facility's
// style block, titled `title`, into the controller's HTML headers.
bool ShowIntraWebError(const TIntraWebHooks& hooks, const std::string& title, const std::string& message,
                       TCrashFailureLog& failures);

}  // namespace brenvik
