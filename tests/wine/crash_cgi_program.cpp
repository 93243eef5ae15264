// A CGI program carrying the crash-report facility, started by the web
// end-to-end test (through a web server, or directly with a broken standard
// output): `crash_cgi_program OUTPUT_FOLDER`. Serving the request throws and
// nothing catches it, so the facility answers the request with its error page
// and the program ends with exit code 1. The log goes to OUTPUT_FOLDER, and
// after the report was shown the outcome of showing it is written to
// OUTPUT_FOLDER\delivery.txt as "<error code> <message>".
#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "base/Exception.h"
#include "crash/intercept/Crashlog.h"
#include "crash/win32/Win32CrashModules.h"

using namespace brenvik;

namespace {

std::string outputFolder;

std::string EnvironmentValue(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// The facility keeps the last failure to deliver a report; the test reads it here.
void WriteDeliveryOutcome(TCrashExceptionRecord&, int action, bool&) {
    if (action != caAfterShow) return;
    const TCrashFailureLog& failures = TCrashlog::Active()->Failures;
    std::ofstream(outputFolder + "\\delivery.txt", std::ios::binary)
        << CrashLogErrorCodeName(failures.LastErrorCode()) << ' ' << failures.LastErrorMessage();
}

__attribute__((noinline)) std::string RenderOrder(const std::string& query) {
    throw EConvertError("Order '" + query + "' has no lines");
}

__attribute__((noinline)) void ServeRequest() {
    const std::string page = RenderOrder(EnvironmentValue("QUERY_STRING"));
    const std::string header = "Content-Type: text/plain\r\n\r\n";
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), (header + page).data(), static_cast<DWORD>(header.size() + page.size()),
              &written, nullptr);
}

}  // namespace

int main(int argc, char** argv) {
    TCrashlogUnit crashlog;
    crashlog.EndInitialization();
    if (argc < 2 || !TCrashlog::Active()) return 5;
    outputFolder = argv[1];
    TCrashModuleOptionsEx& options = CurrentCrashLogOptions();
    options.SetOutputPath(outputFolder);
    options.SetShowReport(true);
    options.SetSaveLogFile(true);
    options.SetSendMode(TCrashModuleOptions::kSendNone);
    TCrashlog::Active()->Notifications.Action = WriteDeliveryOutcome;
    ServeRequest();
    crashlog.BeginFinalization();
    return 0;
}
