#pragma once
#include <cstdint>
#include <map>
#include <mutex>
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

    // Recorded by the server-extension entry hook for the request that the
    // thread serves (nullptr when it is over): a server runs requests on
    // several threads at once, and each failing one gets its own page.
    void SetServerControlBlock(std::uint32_t thread, const TServerExtensionBlock* block);

    // The page of a failure on the given thread, handed over as the response
    // of the request it serves; false and recorded as `eeShowError` when not.
    bool SendWebErrorPage(const std::string& html, std::uint32_t thread);

private:
    bool SendIsapi(const std::string& html, std::uint32_t thread);
    bool SendCgi(const std::string& html);
    bool SendWinCgi(const std::string& html);

    TWebHostSystem& system_;
    TCrashFailureLog& failures_;
    std::mutex blocksLock_;
    std::map<std::uint32_t, const TServerExtensionBlock*> blocks_;
};

}  // namespace brenvik
