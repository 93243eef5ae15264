#include "crash/report/CrashFailureLog.h"

#include <array>

#include "base/Exception.h"
#include "crash/report/ReportFormat.h"

namespace brenvik {

namespace {

constexpr const char* kSupportAddress = "crashlog-support@morvane.pl";
constexpr const char* kBugAddress = "crashlog-bugs@morvane.pl";
constexpr const char* kBugSubject = "Crashlog 4.5.4 critical bug.";
constexpr std::size_t kDumpBytes = 32;

}  // namespace

const char* CrashLogErrorCodeName(TCrashLogErrorCode code) {
    switch (code) {
        case eeNone: return "eeNone";
        case eeShowError: return "eeShowError";
        case eeLogError: return "eeLogError";
        case eeEmailMAPIError: return "eeEmailMAPIError";
        case eeEmailShellError: return "eeEmailShellError";
        case eeEmailSMTPError: return "eeEmailSMTPError";
    }
    return "";
}

TCrashFailure DescribeFailure(const std::exception_ptr& caught) {
    TCrashFailure failure;
    try {
        if (caught) std::rethrow_exception(caught);
    } catch (const EAbort& e) {
        failure.IsAbort = true;
        failure.Message = e.Message;
    } catch (const Exception& e) {
        failure.Message = e.Message;
    } catch (const std::exception& e) {
        failure.Message = e.what();
    } catch (...) {
    }
    return failure;
}

void TCrashFailureLog::ResetLastError() {
    std::lock_guard lock(mutex_);
    lastCode_ = eeNone;
    lastMessage_.clear();
}

void TCrashFailureLog::Warning(TCrashLogErrorCode code, const std::string& message) {
    {
        std::lock_guard lock(mutex_);
        lastCode_ = code;
        lastMessage_ = message;
    }
    const std::string line =
        std::string("[WARNING] - Code: ") + CrashLogErrorCodeName(code) + " - Message: \"" + message + "\"";
    trace_.AddLine(line);
    if (hooks_.DebugOutput) hooks_.DebugOutput(line);
    if (code == eeEmailSMTPError && hooks_.SmtpProgressOpen && hooks_.SmtpProgressOpen() && hooks_.MessageBox)
        hooks_.MessageBox(message, "Error.", kErrorBoxFlags);
}

void TCrashFailureLog::StepFailed(TCrashLogErrorCode code, const std::string& section, const TCrashFailure& failure) {
    Warning(code, failure.Message ? "[" + section + "] " + *failure.Message : "General '" + section + "' error.");
}

void TCrashFailureLog::InternalError(const std::string& section, const TCrashFailure& failure) {
    if (failure.IsAbort) return;
    const std::string message = failure.Message ? *failure.Message : "General internal error.";
    const std::string line = "[ERROR] - Section: " + section + " - Message: \"" + message + "\"";
    if (hooks_.DebugOutput) hooks_.DebugOutput(line);
    trace_.AddLine(line);
    std::array<std::uint8_t, kDumpBytes> bytes{};
    if (failure.Address != 0 && memory_.Read(failure.Address, bytes.data(), bytes.size())) {
        std::string dump = "Memory Dump: ";
        for (std::uint8_t byte : bytes) dump += " $" + HexText(byte, 2);
        trace_.AddLine(dump);
    }
    trace_.SaveAfterInternalError();
    if (trace_.Enabled()) OfferBugReport(message);
}

void TCrashFailureLog::OfferBugReport(const std::string& message) {
    if (!hooks_.MessageBox) return;
    const std::string question = "Error: '" + message +
                                 "'\r\n\r\nThis is an internal Crashlog bug.\r\n"
                                 "Do you want to send the bug information to Crashlog author?";
    if (hooks_.MessageBox(question, "Probably internal bug", kBugQuestionFlags) != kYes) return;
    trace_.SaveAfterInternalError();
    if (hooks_.MailFile && hooks_.MailFile(trace_.FileName(), kSupportAddress, kBugSubject)) return;
    hooks_.MessageBox("The mail client could not be reached.\r\nPlease send the file \"" + trace_.FileName() +
                          "\" manually to " + kBugAddress + ".",
                      "Information", kInformationFlags);
}

TCrashLogErrorCode TCrashFailureLog::LastErrorCode() const {
    std::lock_guard lock(mutex_);
    return lastCode_;
}

std::string TCrashFailureLog::LastErrorMessage() const {
    std::lock_guard lock(mutex_);
    return lastMessage_;
}

}  // namespace brenvik
