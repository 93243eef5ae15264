#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include <unistd.h>

#include "base/Exception.h"
#include "crash/report/CrashFailureLog.h"
#include "crash/report/ReportFormat.h"
#include "crash_report_fakes.h"

namespace brenvik {
namespace {

namespace fs = std::filesystem;

struct TracedThing {
    virtual ~TracedThing() = default;
};
struct DerivedThing : TracedThing {};

class CrashTraceTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        folder_ = fs::temp_directory_path() / ("brenvik_crash_trace_" + std::to_string(::getpid()) + "_" + info->name());
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    std::string TraceFile() const { return (folder_ / "Brenvik.log").string(); }
    std::string ReadTrace() const {
        std::ifstream file(TraceFile(), std::ios::binary);
        return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    }

    fs::path folder_;
};

// The fixture's folder is only known in SetUp, so each test makes its trace there.
TCrashTrace MakeTrace(const fs::path& folder) {
    return TCrashTrace((folder / "Brenvik.exe").string(), [] { return TCrashDateTime{2026, 12, 9, 3, 7, 5, 9}; });
}

TEST_F(CrashTraceTest, LinesCarryTimeIndentationAndTypedArguments) {
    TCrashTrace trace = MakeTrace(folder_);
    trace.Trace("Before enabling");
    EXPECT_TRUE(trace.Lines().empty());
    trace.EnableForDebugger();

    DerivedThing thing;
    const TracedThing* nothing = nullptr;
    const std::string pointer = "$" + std::string(static_cast<std::size_t>(kAddressDigits - 4), '0') + "1234";
    trace.Trace("ExceptNotify", {42, -7LL, 3u, true, 'x', 1.5, "text", std::string("more"), reinterpret_cast<const void*>(0x1234),
                                 nullptr, TTraceArg::Object(static_cast<const TracedThing*>(&thing)),
                                 TTraceArg::Object(nothing), TTraceArg::Currency(-12345000), TTraceArg::Unknown()},
                2);
    trace.Trace("Inner", {1e20, 2.5e-7, 0.25});
    trace.Trace("ExceptNotify=", {false}, -2);
    trace.Trace("Done", {}, -5);
    EXPECT_EQ(trace.Lines(),
              (std::vector<std::string>{
                  "09/12/26 07:05:09  ExceptNotify(42, -7, 3, True, x, 1.5, 'text', 'more', " + pointer +
                      ", nil, brenvik::(anonymous namespace)::DerivedThing, nil, -1234.5, Unknown)",
                  "09/12/26 07:05:09    Inner(1E20, 2.5E-7, 0.25)",
                  "09/12/26 07:05:09  ExceptNotify=(False)",
                  "09/12/26 07:05:09  Done",
              }));
}

TEST_F(CrashTraceTest, SavedOnlyWhenAskedForAtStartOrAfterAnInternalError) {
    TCrashTrace debugger = MakeTrace(folder_);
    debugger.EnableForDebugger();
    debugger.Trace("Start");
    debugger.Save();
    EXPECT_FALSE(fs::exists(TraceFile()));
    debugger.SaveAfterInternalError();
    EXPECT_EQ(ReadTrace(), "09/12/26 07:05:09  Start\r\n");
    fs::remove(TraceFile());

    TCrashTrace plain = MakeTrace(folder_);
    plain.ConfigureAtStart(false, "/tray");
    EXPECT_FALSE(plain.Enabled());
    plain.SaveAfterInternalError();
    EXPECT_FALSE(fs::exists(TraceFile()));

    TCrashTrace asked = MakeTrace(folder_);
    asked.ConfigureAtStart(false, "/debug");
    asked.Trace("One");
    EXPECT_FALSE(fs::exists(TraceFile()));
    asked.Save();
    EXPECT_EQ(ReadTrace(), "09/12/26 07:05:09  One\r\n");

    TCrashTrace eachLine = MakeTrace(folder_);
    eachLine.ConfigureAtStart(false, "x-Debug-Save");
    eachLine.Trace("A");
    eachLine.Trace("B");
    EXPECT_EQ(ReadTrace(), "09/12/26 07:05:09  A\r\n09/12/26 07:05:09  B\r\n");

    TCrashTrace host = MakeTrace(folder_);
    host.ConfigureAtStart(true, "");
    EXPECT_TRUE(host.Enabled());
}

TEST_F(CrashTraceTest, WarningsKeepTheLastDeliveryError) {
    TCrashTrace trace = MakeTrace(folder_);
    trace.EnableForDebugger();
    testing::FakeMemory memory;
    TCrashFailureLog failures(trace, memory);
    std::vector<std::string> debugLines, boxes;
    bool progressOpen = false;
    failures.Hooks().DebugOutput = [&](const std::string& line) { debugLines.push_back(line); };
    failures.Hooks().SmtpProgressOpen = [&] { return progressOpen; };
    failures.Hooks().MessageBox = [&](const std::string& text, const std::string& caption, std::uint32_t flags) {
        boxes.push_back(caption + "|" + text + "|" + std::to_string(flags));
        return 1;
    };

    failures.StepFailed(eeShowError, "GUI", {false, "Window failed", 0});
    EXPECT_EQ(failures.LastErrorCode(), eeShowError);
    EXPECT_EQ(failures.LastErrorMessage(), "[GUI] Window failed");
    failures.StepFailed(eeEmailSMTPError, "SMTP", {false, std::nullopt, 0});
    progressOpen = true;
    failures.Warning(eeEmailSMTPError, "No route");
    failures.ResetLastError();
    EXPECT_EQ(failures.LastErrorCode(), eeNone);
    EXPECT_EQ(failures.LastErrorMessage(), "");

    EXPECT_EQ(debugLines, (std::vector<std::string>{
                              "[WARNING] - Code: eeShowError - Message: \"[GUI] Window failed\"",
                              "[WARNING] - Code: eeEmailSMTPError - Message: \"General 'SMTP' error.\"",
                              "[WARNING] - Code: eeEmailSMTPError - Message: \"No route\"",
                          }));
    EXPECT_EQ(trace.Lines().at(0), "09/12/26 07:05:09  " + debugLines[0]);
    EXPECT_EQ(boxes, (std::vector<std::string>{"Error.|No route|" + std::to_string(0x00242010)}));
}

TEST_F(CrashTraceTest, InternalErrorsDumpTheFailingBytesAndOfferTheTrace) {
    TCrashTrace trace = MakeTrace(folder_);
    testing::FakeMemory memory;
    std::vector<std::uint8_t> bytes(32);
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(0xE0 + i);
    memory.regions[0x401000] = bytes;
    TCrashFailureLog failures(trace, memory);
    std::vector<std::string> boxes, mails;
    int answer = TCrashFailureLog::kYes;
    bool mailWorks = false;
    failures.Hooks().MessageBox = [&](const std::string& text, const std::string& caption, std::uint32_t flags) {
        boxes.push_back(caption + "|" + text + "|" + std::to_string(flags));
        return answer;
    };
    failures.Hooks().MailFile = [&](const std::string& file, const std::string& address, const std::string& subject) {
        mails.push_back(file + "|" + subject + "|" + (address.empty() ? "" : "addressed"));
        return mailWorks;
    };

    // Without the trace nothing is asked; the abort class is never reported.
    failures.InternalError("InternalExceptNotify.7", {false, "boom", 0x401000});
    EXPECT_TRUE(boxes.empty());
    trace.EnableForDebugger();
    failures.InternalError("InternalExceptNotify.7", {true, "quiet", 0x401000});
    EXPECT_TRUE(trace.Lines().empty());

    failures.InternalError("InternalExceptNotify.7", {false, "boom", 0x401000});
    const std::vector<std::string> lines = trace.Lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "09/12/26 07:05:09  [ERROR] - Section: InternalExceptNotify.7 - Message: \"boom\"");
    EXPECT_EQ(lines[1].substr(19, 29), "Memory Dump:  $E0 $E1 $E2 $E3");
    EXPECT_EQ(lines[1].substr(lines[1].size() - 4), " $FF");
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0], "Probably internal bug|Error: 'boom'\r\n\r\nThis is an internal Crashlog bug.\r\n"
                        "Do you want to send the bug information to Crashlog author?|" +
                            std::to_string(0x00242014));
    EXPECT_EQ(boxes[1].substr(0, 12), "Information|");
    EXPECT_NE(boxes[1].find(TraceFile()), std::string::npos);
    EXPECT_EQ(mails, (std::vector<std::string>{TraceFile() + "|Crashlog 4.5.4 critical bug.|addressed"}));
    EXPECT_NE(ReadTrace().find("[ERROR]"), std::string::npos);

    // Unreadable bytes give no dump line; a sent mail needs no explanation;
    // "No" sends nothing.
    mailWorks = true;
    failures.InternalError("Log", {false, std::nullopt, 0x9000});
    EXPECT_EQ(trace.Lines().back(), "09/12/26 07:05:09  [ERROR] - Section: Log - Message: \"General internal error.\"");
    EXPECT_EQ(boxes.size(), 3u);
    answer = 7;
    failures.InternalError("Log", {false, "again", 0});
    EXPECT_EQ(boxes.size(), 4u);
    EXPECT_EQ(mails.size(), 2u);
}

TEST(CrashFailureDescription, MessagesOfCaughtObjects) {
    auto describe = [](auto thrown) {
        try {
            throw thrown;
        } catch (...) {
            return DescribeFailure(std::current_exception());
        }
    };
    EXPECT_EQ(describe(EConvertError("Bad value")).Message, "Bad value");
    EXPECT_EQ(describe(std::runtime_error("runtime")).Message, "runtime");
    EXPECT_FALSE(describe(42).Message.has_value());
    EXPECT_TRUE(describe(EAbort()).IsAbort);
    EXPECT_FALSE(describe(EConvertError("Bad value")).IsAbort);
}

}  // namespace
}  // namespace brenvik
