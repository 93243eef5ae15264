// A web server extension carrying the crash-report facility, loaded by
// crash_isapi_host_wine_test.cpp. A request whose query starts with "fail="
// throws while it is served; any other request gets a short page.
//
// The facility starts in GetExtensionVersion and stops in TerminateExtension:
// the server calls them once, after loading and before unloading the library,
// outside the loader lock, whereas DllMain must not start the facility's
// threads or patch code. Its log goes beside the library.
//
// Like a real extension, HttpExtensionProc lets no exception out into the
// server: its catch-all hands the exception to ExceptionManager, which reports
// it with the stack of the throw and sends the error page through the
// request's control block. An exception escaping instead would end the
// server's thread (or the server) at the facility's terminate handler.
#include <windows.h>
#include <httpext.h>

#include <cstring>
#include <exception>
#include <memory>
#include <string>

#include "base/Exception.h"
#include "crash/intercept/Crashlog.h"
#include "crash/intercept/UnhandledExceptions.h"
#include "crash/win32/Win32CrashModules.h"

using namespace brenvik;

namespace {

std::unique_ptr<TCrashlogUnit> crashlog;

__attribute__((noinline)) std::string LookUpInvoice(const std::string& number) {
    throw Exception("Invoice " + number + " is missing");
}

void SendPage(EXTENSION_CONTROL_BLOCK* block, const char* status, const std::string& page) {
    const std::string header = "Content-Type: text/plain\r\n\r\n";
    DWORD statusSize = static_cast<DWORD>(std::strlen(status));
    block->ServerSupportFunction(block->ConnID, HSE_REQ_SEND_RESPONSE_HEADER, const_cast<char*>(status), &statusSize,
                                 reinterpret_cast<LPDWORD>(const_cast<char*>(header.c_str())));
    DWORD size = static_cast<DWORD>(page.size());
    block->WriteClient(block->ConnID, const_cast<char*>(page.data()), &size, HSE_IO_SYNC);
}

// "held-…" requests say that they are in progress and go on only once the
// server lets them, so that other requests run meanwhile.
void WaitForRelease() {
    HANDLE held = OpenEventA(EVENT_MODIFY_STATE, FALSE, "brenvik-isapi-held");
    HANDLE release = OpenEventA(SYNCHRONIZE, FALSE, "brenvik-isapi-release");
    if (held) SetEvent(held);
    if (release) WaitForSingleObject(release, 30000);
    if (held) CloseHandle(held);
    if (release) CloseHandle(release);
}

__attribute__((noinline)) void ServeRequest(EXTENSION_CONTROL_BLOCK* block) {
    std::string query = block->lpszQueryString ? block->lpszQueryString : "";
    if (query.rfind("held-", 0) == 0) {
        WaitForRelease();
        query.erase(0, 5);
    }
    const std::string page = query.rfind("fail=", 0) == 0 ? LookUpInvoice(query.substr(5)) : "served " + query;
    block->dwHttpStatusCode = 200;
    SendPage(block, "200 OK", page);
}

}  // namespace

extern "C" __declspec(dllexport) BOOL WINAPI GetExtensionVersion(HSE_VERSION_INFO* version) {
    crashlog = std::make_unique<TCrashlogUnit>();
    crashlog->EndInitialization();
    if (TCrashlog::Active()) {
        TCrashModuleOptionsEx& options = CurrentCrashLogOptions();
        options.SetShowReport(true);
        options.SetSaveLogFile(true);
        options.SetSendMode(TCrashModuleOptions::kSendNone);
    }
    version->dwExtensionVersion = MAKELONG(HSE_VERSION_MINOR, HSE_VERSION_MAJOR);
    lstrcpynA(version->lpszExtensionDesc, "Crash report test extension", HSE_MAX_EXT_DLL_NAME_LEN);
    return TRUE;
}

extern "C" __declspec(dllexport) DWORD WINAPI HttpExtensionProc(EXTENSION_CONTROL_BLOCK* block) {
    try {
        ServeRequest(block);
        return HSE_STATUS_SUCCESS;
    } catch (...) {
        // Not reported (an abort, or a failure inside the facility): the
        // client still learns that the request failed.
        if (ExceptionManager(std::current_exception())) {
            block->dwHttpStatusCode = 500;
            SendPage(block, "500 Error", "The request failed.");
        }
        return HSE_STATUS_ERROR;
    }
}

extern "C" __declspec(dllexport) BOOL WINAPI TerminateExtension(DWORD) {
    if (crashlog) crashlog->BeginFinalization();
    crashlog.reset();
    return TRUE;
}
