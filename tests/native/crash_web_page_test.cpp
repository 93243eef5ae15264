#include <gtest/gtest.h>

#include <thread>

#include <map>
#include <vector>

#include "base/Exception.h"
#include "crash/web/HostPresentation.h"
#include "crash_report_fakes.h"

namespace brenvik {
namespace {

TEST(CrashWebText, PageEscapesMarkupAndKeepsTheReportLayout) {
    const std::string html = WebErrorPageHtml("Error", "Sorry.", "Line  1\r\n<b>&\"x\"");
    EXPECT_EQ(html,
              "<html><head><title>Error</title></head><body><p><small><font face=\"Lucida Console,Courier\">"
              "Sorry.<br><br>Line&nbsp;&nbsp;1<br>&lt;b&gt;&amp;&quot;x&quot;</font></small></p></body></html>");
    EXPECT_EQ(ConsoleErrorLine("Sorry.", "A b"), "Sorry.\r\n\r\nA b\r\n");
}

TEST(CrashWebText, StatusLineOnlyWhereTheServerReadsItFromTheOutput) {
    const std::string rest = "Content-Type: text/html\r\nContent-Length: 1234\r\nContent:\r\n\r\n";
    EXPECT_EQ(WebResponseHeader(TWebHostKind::Cgi, 1234), "Status: 500 Error\r\n" + rest);
    EXPECT_EQ(WebResponseHeader(TWebHostKind::WinCgi, 1234), "Status: 500 Error\r\n" + rest);
    EXPECT_EQ(WebResponseHeader(TWebHostKind::Isapi, 1234), rest);
}

class FakeWebHost : public TWebHostSystem {
public:
    bool IsLibrary() const override { return library; }
    bool ExportsHttpExtensionProc() const override { return exportsEntry; }
    bool IsConsole() const override { return console; }
    bool HasEnvironmentVariable(const std::string& name) const override { return environment.count(name) > 0; }
    std::string Argument(int index) const override {
        return index < static_cast<int>(arguments.size()) ? arguments[static_cast<std::size_t>(index)] : "";
    }
    std::optional<std::uint64_t> FileSize(const std::string& path) const override {
        auto found = files.find(path);
        if (found == files.end()) return std::nullopt;
        return found->second.size();
    }
    bool FileExists(const std::string& path) const override { return files.count(path) > 0; }
    std::string ProfileString(const std::string& file, const std::string& section,
                              const std::string& key) const override {
        auto found = profiles.find(file + "|" + section + "|" + key);
        return found == profiles.end() ? "" : found->second;
    }
    bool WriteStandardOutput(std::string_view data) override {
        if (writesAccepted == 0) return false;
        --writesAccepted;
        standardOutput += data;
        return true;
    }
    void WriteOutputFile(const std::string& path, std::string_view data) override {
        if (outputFileFails) throw Exception("Access denied.");
        files[path] = std::string(data);
    }

    bool library = false, exportsEntry = false, console = false, outputFileFails = false;
    int writesAccepted = 100;
    std::map<std::string, int> environment;
    std::vector<std::string> arguments{"prog.exe"};
    std::map<std::string, std::string> files;
    std::map<std::string, std::string> profiles;
    std::string standardOutput;
};

constexpr std::uint32_t kRequestThread = 7;

struct RecordedBlock {
    std::vector<std::string> calls;
    bool acceptHeader = true;
    std::string received;

    TServerExtensionBlock Block() {
        TServerExtensionBlock block;
        block.Context = this;
        block.SetHttpStatusCode = [](void* context, std::uint32_t code) {
            static_cast<RecordedBlock*>(context)->calls.push_back("status " + std::to_string(code));
        };
        block.ServerSupportFunction = [](void* context, std::uint32_t request, const char* buffer,
                                         std::uint32_t* size, const char* dataType) {
            auto* self = static_cast<RecordedBlock*>(context);
            self->calls.push_back("support " + std::to_string(request) + " [" + std::string(buffer, *size) + "] [" +
                                  dataType + "]");
            return self->acceptHeader;
        };
        block.WriteClient = [](void* context, const char* data, std::uint32_t* bytes, std::uint32_t flags) {
            auto* self = static_cast<RecordedBlock*>(context);
            self->calls.push_back("write " + std::to_string(*bytes) + " flags " + std::to_string(flags));
            self->received.append(data, *bytes);
            return true;
        };
        return block;
    }
};

class CrashWebPageTest : public ::testing::Test {
protected:
    void MakeWinCgi() {
        host_.arguments = {"prog.exe", "C:\\req.ini", "C:\\in.dat", ""};
        host_.files["C:\\req.ini"] = "[CGI]\r\nRequest Method=GET\r\n";
        host_.profiles["C:\\req.ini|CGI|Request Method"] = "GET";
        host_.profiles["C:\\req.ini|System|Output File"] = "C:\\out.htm";
        host_.files["C:\\out.htm"] = "";
    }

    const std::string page_ = WebErrorPageHtml("Error", "Sorry.", "Report text");
    FakeWebHost host_;
    testing::FakeMemory memory_;
    TCrashTrace trace_{"C:\\App\\Tool.exe", [] { return TCrashDateTime{}; }};
    TCrashFailureLog failures_{trace_, memory_};
    TWebErrorPage sender_{host_, failures_};
};

TEST_F(CrashWebPageTest, HostChecksTellTheKindsApart) {
    EXPECT_EQ(DetectWebHost(host_), TWebHostKind::None);
    host_.console = true;
    EXPECT_EQ(DetectWebHost(host_), TWebHostKind::None) << "a console program without a request";
    host_.environment["REQUEST_METHOD"] = 1;
    EXPECT_EQ(DetectWebHost(host_), TWebHostKind::Cgi);
    host_.library = true;
    EXPECT_EQ(DetectWebHost(host_), TWebHostKind::Cgi) << "a library without the entry point";
    host_.exportsEntry = true;
    EXPECT_EQ(DetectWebHost(host_), TWebHostKind::Isapi);
}

TEST_F(CrashWebPageTest, WinCgiNeedsASmallRequestProfileAndAnExistingOutputFile) {
    MakeWinCgi();
    EXPECT_EQ(DetectWebHost(host_), TWebHostKind::WinCgi);
    EXPECT_EQ(WinCgiOutputFile(host_), "C:\\out.htm");
    host_.arguments[3] = "C:\\third.htm";
    EXPECT_EQ(WinCgiOutputFile(host_), "C:\\third.htm") << "the third argument comes first";
    EXPECT_FALSE(IsWinCgiHost(host_)) << "output file missing";
    host_.arguments[3] = "";

    host_.files["C:\\req.ini"] = std::string(102401, 'x');
    EXPECT_FALSE(IsWinCgiHost(host_));
    host_.files["C:\\req.ini"] = std::string(102400, 'x');
    EXPECT_TRUE(IsWinCgiHost(host_));
    host_.profiles.erase("C:\\req.ini|CGI|Request Method");
    EXPECT_FALSE(IsWinCgiHost(host_));
    MakeWinCgi();
    host_.console = true;
    EXPECT_FALSE(IsWinCgiHost(host_));
}

TEST_F(CrashWebPageTest, CgiWritesHeaderWithStatusThenPage) {
    host_.console = true;
    host_.environment["REQUEST_METHOD"] = 1;
    EXPECT_TRUE(sender_.SendWebErrorPage(page_, kRequestThread));
    EXPECT_EQ(host_.standardOutput, WebResponseHeader(TWebHostKind::Cgi, page_.size()) + page_);
    EXPECT_EQ(failures_.LastErrorCode(), eeNone);
}

TEST_F(CrashWebPageTest, CgiWithClosedOutputRecordsTheFailureAndSendsNothingElse) {
    host_.console = true;
    host_.environment["REQUEST_METHOD"] = 1;
    host_.writesAccepted = 0;
    EXPECT_FALSE(sender_.SendWebErrorPage(page_, kRequestThread));
    EXPECT_EQ(host_.standardOutput, "");
    EXPECT_EQ(failures_.LastErrorCode(), eeShowError);
    EXPECT_EQ(failures_.LastErrorMessage(), "CGI: Cannot write in the ouput file.");

    failures_.ResetLastError();
    host_.writesAccepted = 1;  // header taken, page refused
    EXPECT_FALSE(sender_.SendWebErrorPage(page_, kRequestThread));
    EXPECT_EQ(failures_.LastErrorMessage(), "CGI: Cannot write in the ouput file.");
}

TEST_F(CrashWebPageTest, WinCgiWritesOutputFileAndRecordsItsFailure) {
    MakeWinCgi();
    EXPECT_TRUE(sender_.SendWebErrorPage(page_, kRequestThread));
    EXPECT_EQ(host_.files["C:\\out.htm"], WebResponseHeader(TWebHostKind::WinCgi, page_.size()) + page_);
    EXPECT_EQ(host_.standardOutput, "");

    host_.outputFileFails = true;
    EXPECT_FALSE(sender_.SendWebErrorPage(page_, kRequestThread));
    EXPECT_EQ(failures_.LastErrorCode(), eeShowError);
    EXPECT_EQ(failures_.LastErrorMessage(), "[WinCGI] Access denied.");
}

TEST_F(CrashWebPageTest, EachFailingRequestThreadIsAnsweredThroughItsOwnBlock) {
    host_.library = host_.exportsEntry = true;
    RecordedBlock first, second;
    const TServerExtensionBlock firstBlock = first.Block(), secondBlock = second.Block();
    sender_.SetServerControlBlock(1, &firstBlock);
    sender_.SetServerControlBlock(2, &secondBlock);
    // Reports are built on threads of their own, at the same time.
    std::thread one([&] { EXPECT_TRUE(sender_.SendWebErrorPage("first page", 1)); });
    std::thread two([&] { EXPECT_TRUE(sender_.SendWebErrorPage("second page", 2)); });
    one.join();
    two.join();
    EXPECT_EQ(first.received, "first page");
    EXPECT_EQ(second.received, "second page");
    sender_.SetServerControlBlock(1, nullptr);
    EXPECT_FALSE(sender_.SendWebErrorPage(page_, 1));  // that request is over
    EXPECT_EQ(first.received, "first page");
}

TEST_F(CrashWebPageTest, IsapiSendsStatusThroughTheControlBlock) {
    host_.library = host_.exportsEntry = true;
    EXPECT_FALSE(sender_.SendWebErrorPage(page_, kRequestThread));
    EXPECT_EQ(failures_.LastErrorMessage(), "ISAPI: ServerECB = nil");

    RecordedBlock recorder;
    const TServerExtensionBlock block = recorder.Block();
    sender_.SetServerControlBlock(kRequestThread, &block);
    failures_.ResetLastError();
    EXPECT_TRUE(sender_.SendWebErrorPage(page_, kRequestThread));
    const std::string header = WebResponseHeader(TWebHostKind::Isapi, page_.size());
    EXPECT_EQ(header.find("Status:"), std::string::npos);
    const std::vector<std::string> expected{"status 500", "support 3 [500 Error] [" + header + "]",
                                            "write " + std::to_string(page_.size()) + " flags 1"};
    EXPECT_EQ(recorder.calls, expected);
    EXPECT_EQ(recorder.received, page_);
    EXPECT_EQ(host_.standardOutput, "");
    EXPECT_EQ(failures_.LastErrorCode(), eeNone);

    recorder.calls.clear();
    recorder.acceptHeader = false;
    EXPECT_FALSE(sender_.SendWebErrorPage(page_, kRequestThread)) << "no page after a refused header";
    EXPECT_EQ(recorder.calls.size(), 2u);
}

TEST_F(CrashWebPageTest, ReportGoesToTheHostThatCanShowIt) {
    TIntraWebHooks noFramework;
    const TReportHost host{host_, sender_, noFramework};
    EXPECT_TRUE(IsInteractiveWindowedProgram(host));
    EXPECT_EQ(ShowReportOnHost(host, "Error", "Sorry.", "R 1", failures_), TReportShown::NeedsDialog);

    host_.console = true;
    EXPECT_FALSE(IsInteractiveWindowedProgram(host));
    EXPECT_FALSE(IsWebHost(host));
    EXPECT_EQ(ShowReportOnHost(host, "Error", "Sorry.", "R 1", failures_), TReportShown::Shown);
    EXPECT_EQ(host_.standardOutput, "Sorry.\r\n\r\nR 1\r\n");
    host_.writesAccepted = 0;
    EXPECT_EQ(ShowReportOnHost(host, "Error", "Sorry.", "R 1", failures_), TReportShown::Failed);
    EXPECT_EQ(failures_.LastErrorMessage(), "[Console] Cannot write to standard output.");

    host_.writesAccepted = 10;
    host_.standardOutput.clear();
    host_.environment["REQUEST_METHOD"] = 1;
    EXPECT_TRUE(IsWebHost(host));
    EXPECT_EQ(ShowReportOnHost(host, "Error", "Sorry.", "R 1", failures_), TReportShown::Shown);
    const std::string page = WebErrorPageHtml("Error", "Sorry.", "R 1");
    EXPECT_EQ(host_.standardOutput, WebResponseHeader(TWebHostKind::Cgi, page.size()) + page);

    int application = 0, controller = 0;
    std::string shown;
    TIntraWebHooks framework;
    framework.Application = &application;
    framework.ServerController = &controller;
    framework.ShowMessage = [&shown](void*, const std::string& text, int) { shown = text; };
    host_.standardOutput.clear();
    const TReportHost frameworkHost{host_, sender_, framework};
    EXPECT_EQ(ShowReportOnHost(frameworkHost, "Error", "Sorry.", "R 1", failures_), TReportShown::Shown);
    EXPECT_EQ(shown, "Sorry.\r\n\r\nR&nbsp;1");
    EXPECT_EQ(host_.standardOutput, "") << "the framework takes precedence over the CGI page";
}

}  // namespace
}  // namespace brenvik
