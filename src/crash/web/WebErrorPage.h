#pragma once
#include <string>

#include "crash/report/CrashFailureLog.h"
#include "crash/web/ServerExtensionBlock.h"
#include "crash/web/WebHostSystem.h"

namespace brenvik {

// Hands the error page to the web server hosting the program as the
// response of the current request.
class TWebErrorPage {
public:
    TWebErrorPage(TWebHostSystem& system, TCrashFailureLog& failures) : system_(system), failures_(failures) {}

    // Recorded by the server-extension entry hook for the request the calling
    // thread serves (nullptr when none): a server runs requests on several
    // threads at once, and each failing one gets its own page.
    void SetServerControlBlock(const TServerExtensionBlock* block);

    // True when the page was handed over; failures are recorded as `eeShowError`.
    bool SendWebErrorPage(const std::string& html);

private:
    bool SendIsapi(const std::string& html);
    bool SendCgi(const std::string& html);
    bool SendWinCgi(const std::string& html);

    TWebHostSystem& system_;
    TCrashFailureLog& failures_;
};

}  // namespace brenvik
