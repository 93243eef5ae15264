#pragma once
#include <string>

namespace brenvik {

class TCrashFailureLog;

// Starts the shell's mailto command with the percent-encoded address and
// brings its main window to the front; a command that cannot start is
// recorded as eeEmailShellError.
bool SendReportMailto(const std::string& recipients, const std::string& subject, const std::string& body,
                      const std::string& reportText, const std::string& reproduceSteps, TCrashFailureLog& log);

}  // namespace brenvik
