// The crash-report facility in a CGI program under Wine, behind a real web
// server: an exception nothing catches while a request is served becomes the
// error page the client receives; with standard output gone the facility
// records why the page could not be sent and still logs the report.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

#include "PrefixFiles.h"
#include "WineSession.h"
#include "crash_web_e2e_response.h"
#include "crash_web_e2e_server.h"

extern char** environ;

namespace brenvik::e2e {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

constexpr int kFetchSeconds = 120;

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string ShellQuoted(const std::string& text) { return "'" + text + "'"; }

class CrashCgiEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = WineSession::Get().Scratch("crash-web-" + std::to_string(getpid()));
        fs::remove_all(folder_);
        fs::create_directories(Scripts());
        fs::create_directories(Output());
    }
    void TearDown() override { fs::remove_all(folder_); }

    fs::path Scripts() const { return folder_ / "cgi"; }
    fs::path Output() const { return folder_ / "out"; }
    fs::path Program() const { return WineSession::Get().Program("crash_cgi_program.exe"); }
    std::string LogText() const { return ReadFile(Output() / "crash_cgi_program.clog"); }
    std::string Delivery() const { return ReadFile(Output() / "delivery.txt"); }

    // The server runs CGI scripts with its own bare environment: the script
    // names the session's Wine prefix and Wine before it starts the program.
    // The server ends the program as soon as the response is complete: Wine
    // takes the script's place, so that signal reaches the program itself.
    void WriteCgiScript(const std::string& name) {
        std::ofstream script(Scripts() / name);
        for (const char* variable :
             {"WINEPREFIX", "WINEARCH", "WINELOADER", "WINEDEBUG", "WINEDLLOVERRIDES", "HOME", "PATH"})
            if (const char* value = std::getenv(variable))
                script << "export " << variable << "=" << ShellQuoted(value) << "\n";
        script << "exec " << ShellQuoted(WineSession::Get().Wine()) << " " << ShellQuoted(Program().string()) << " "
               << ShellQuoted(WindowsPath(Output())) << "\n";
    }

    // Runs the program as a server would for a GET request, its standard
    // output a pipe whose reading end is already closed. Returns the exit
    // code, -1 when it did not end in time.
    int RunWithClosedOutput(const std::string& query) const {
        int pipeEnds[2];
        if (pipe(pipeEnds) != 0) return -1;
        close(pipeEnds[0]);
        std::vector<std::string> environment;
        for (char** entry = environ; *entry; ++entry) environment.emplace_back(*entry);
        environment.push_back("REQUEST_METHOD=GET");
        environment.push_back("QUERY_STRING=" + query);
        std::vector<char*> envp;
        for (auto& entry : environment) envp.push_back(entry.data());
        envp.push_back(nullptr);
        std::vector<std::string> words{WineSession::Get().Wine(), Program().string(), WindowsPath(Output())};
        std::vector<char*> argv;
        for (auto& word : words) argv.push_back(word.data());
        argv.push_back(nullptr);

        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, pipeEnds[1]);
        pid_t pid = -1;
        const int started = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
        posix_spawn_file_actions_destroy(&actions);
        close(pipeEnds[1]);
        if (started != 0) return -1;

        const auto deadline = std::chrono::steady_clock::now() + 120s;
        int status = 0;
        while (waitpid(pid, &status, WNOHANG) != pid) {
            if (std::chrono::steady_clock::now() > deadline) {
                kill(pid, SIGKILL);
                waitpid(pid, &status, 0);
                return -1;
            }
            std::this_thread::sleep_for(50ms);
        }
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }

    fs::path folder_;
};

TEST_F(CrashCgiEndToEnd, UnhandledThrowAnswersTheRequestWithTheReportPage) {
    WriteCgiScript("orders.cgi");
    CgiWebServer server(folder_, Scripts());
    const HttpResponse response = FetchWithCurl(server.Url("/orders.cgi?order=42"), folder_, kFetchSeconds);

    ASSERT_EQ(response.status, 500) << response.headers << server.ErrorLog();
    EXPECT_EQ(HeaderValue(response.headers, "Content-Type"), "text/html");
    EXPECT_EQ(HeaderValue(response.headers, "Content-Length"), std::to_string(response.body.size()));
    EXPECT_EQ(response.body.rfind("<html><head><title>", 0), 0u) << response.body.substr(0, 200);
    EXPECT_TRUE(response.body.ends_with("</html>"));
    const std::string text = ErrorPageText(response.body);
    EXPECT_NE(text.find("Order 'order=42' has no lines"), std::string::npos) << text.substr(0, 600);
    EXPECT_NE(text.find("EConvertError"), std::string::npos);
    // The call stack of the throw, named from the program's own debug information.
    EXPECT_NE(text.find("RenderOrder"), std::string::npos);
    EXPECT_NE(text.find("ServeRequest"), std::string::npos);
    // The server ends the program once it has the whole page: the report was
    // logged before the page went out.
    EXPECT_NE(LogText().find("Order 'order=42' has no lines"), std::string::npos);
}

// The message echoes the query as the server passed it (angle brackets
// arrive percent-encoded, "&" and ";" as they are): the page must show it as
// sent, its entities escaped rather than interpreted by the browser.
TEST_F(CrashCgiEndToEnd, RequestTextInTheMessageIsShownAsSent) {
    WriteCgiScript("orders.cgi");
    CgiWebServer server(folder_, Scripts());
    const HttpResponse response = FetchWithCurl(server.Url("/orders.cgi?order=5&lt;b&gt;"), folder_, kFetchSeconds);

    ASSERT_EQ(response.status, 500) << response.headers << server.ErrorLog();
    const std::string text = ErrorPageText(response.body);
    EXPECT_NE(text.find("Order 'order=5&amp;lt;b&amp;gt;' has no lines"), std::string::npos)
        << text.substr(std::min(text.find("Order"), text.size()), 200);
    EXPECT_EQ(text.find("order=5&lt;b&gt;'"), std::string::npos);
}

TEST_F(CrashCgiEndToEnd, ClosedStandardOutputIsRecordedAndTheReportStillLogged) {
    EXPECT_EQ(RunWithClosedOutput("order=9"), 1);
    EXPECT_EQ(Delivery(), "eeShowError CGI: Cannot write in the ouput file.");
    EXPECT_NE(LogText().find("Order 'order=9' has no lines"), std::string::npos);
}

}  // namespace
}  // namespace brenvik::e2e
