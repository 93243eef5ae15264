#pragma once
#include <cstdint>
#include <exception>
#include <functional>
#include <mutex>
#include <optional>
#include <string>

#include "crash/report/CrashTrace.h"
#include "crash/stack/ProcessMemory.h"

namespace brenvik {

// The last failure to show, log or mail a report.
enum TCrashLogErrorCode : std::uint8_t {
    eeNone = 0,
    eeShowError = 1,
    eeLogError = 2,
    eeEmailMAPIError = 3,
    eeEmailShellError = 4,
    eeEmailSMTPError = 5,
};

const char* CrashLogErrorCodeName(TCrashLogErrorCode code);

// A failure caught inside the facility, described by what was caught.
struct TCrashFailure {
    bool IsAbort = false;  // the silent abort: never reported
    // None when the thrown object is not of the program's exception base class.
    std::optional<std::string> Message;
    CrashAddress Address = 0;  // where it failed, for the byte dump; 0 when unknown
};

// Describes an exception caught by `catch (...)`: the program's exceptions
// and standard exceptions give their message, anything else none.
TCrashFailure DescribeFailure(const std::exception_ptr& caught);

// Where the facility's failure lines go besides the trace. All optional.
struct TCrashFailureHooks {
    std::function<void(const std::string&)> DebugOutput;
    // Returns the button pressed (6 for Yes).
    std::function<int(const std::string& text, const std::string& caption, std::uint32_t flags)> MessageBox;
    std::function<bool()> SmtpProgressOpen;
    // Sends a file through the user's mail client; false when it cannot.
    std::function<bool(const std::string& fileName, const std::string& address, const std::string& subject)>
        MailFile;
};

// Records the last delivery error and the facility's own failures.
class TCrashFailureLog {
public:
    static constexpr std::uint32_t kErrorBoxFlags = 0x00242010;
    static constexpr std::uint32_t kBugQuestionFlags = 0x00242014;
    static constexpr std::uint32_t kInformationFlags = 0x00242030;
    static constexpr int kYes = 6;

    TCrashFailureLog(TCrashTrace& trace, const ProcessMemory& memory) : trace_(trace), memory_(memory) {}

    TCrashFailureHooks& Hooks() { return hooks_; }

    void ResetLastError();
    // Keeps the error and writes the `[WARNING]` line.
    void Warning(TCrashLogErrorCode code, const std::string& message);
    // A failed named step ("Log", "GUI", ...) as a warning with that step's code.
    void StepFailed(TCrashLogErrorCode code, const std::string& section, const TCrashFailure& failure);
    // A failure inside the facility itself: the `[ERROR]` line, the bytes
    // where it failed, and the offer to send the trace to the author.
    void InternalError(const std::string& section, const TCrashFailure& failure);

    TCrashLogErrorCode LastErrorCode() const;
    std::string LastErrorMessage() const;

private:
    void OfferBugReport(const std::string& message);

    TCrashTrace& trace_;
    const ProcessMemory& memory_;
    TCrashFailureHooks hooks_;
    mutable std::mutex mutex_;
    TCrashLogErrorCode lastCode_ = eeNone;
    std::string lastMessage_;
};

}  // namespace brenvik
