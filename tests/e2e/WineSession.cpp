#include "WineSession.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace brenvik::e2e {
namespace {

std::string RequiredEnv(const char* name) {
    const char* value = std::getenv(name);
    if (!value || !*value) throw std::runtime_error(std::string(name) + " is not set: run inside scripts/wine-session.sh");
    return value;
}

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

WineSession& WineSession::Get() {
    static WineSession session;
    return session;
}

WineSession::WineSession()
    : binDir_(RequiredEnv("BRENVIK_BIN_DIR")),
      portsDir_(RequiredEnv("BRENVIK_PORTS_DIR")),
      prefix_(RequiredEnv("WINEPREFIX")),
      scratch_(portsDir_.parent_path() / "e2e"),
      wine_(std::getenv("BRENVIK_WINE") ? std::getenv("BRENVIK_WINE") : "wine") {
    if (!std::filesystem::exists(prefix_ / ".brenvik-test-prefix"))
        throw std::runtime_error("WINEPREFIX is not a test prefix");
    std::filesystem::create_directories(scratch_);
}

std::filesystem::path WineSession::Scratch(const std::string& name) const { return scratch_ / name; }

void WineSession::ImportRegistry(const std::string& regText) const {
    auto file = Scratch("import.reg");
    std::ofstream(file, std::ios::binary) << regText;
    int exitCode = -1;
    RunToEnd("regedit", {"/S", "Z:" + file.string()}, std::chrono::seconds(30), &exitCode);
    if (exitCode != 0) throw std::runtime_error("regedit failed");
}

std::string WineSession::PortTarget(int number) const {
    std::error_code error;
    auto target = std::filesystem::read_symlink(prefix_ / "dosdevices" / ("com" + std::to_string(number)), error);
    return error ? std::string() : target.string();
}

WineProcess::WineProcess(const std::filesystem::path& program, const std::vector<std::string>& arguments) {
    static std::atomic<int> serial{0};
    outputFile_ = WineSession::Get().Scratch("out-" + std::to_string(getpid()) + "-" + std::to_string(++serial));
    std::vector<std::string> words{WineSession::Get().Wine(), program.string()};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (auto& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outputFile_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    int result = posix_spawnp(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (result != 0) throw std::runtime_error("cannot start " + program.string());
}

WineProcess::~WineProcess() {
    if (Running()) {
        kill(pid_, SIGKILL);
        waitpid(pid_, &status_, 0);
    }
    std::filesystem::remove(outputFile_);
}

bool WineProcess::Running() {
    if (pid_ < 0) return false;
    if (waitpid(pid_, &status_, WNOHANG) == pid_) {
        pid_ = -1;
        return false;
    }
    return true;
}

int WineProcess::Wait(std::chrono::milliseconds timeout) {
    auto deadline = std::chrono::steady_clock::now() + timeout;
    while (Running()) {
        if (std::chrono::steady_clock::now() > deadline) return -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return WIFEXITED(status_) ? WEXITSTATUS(status_) : 128 + WTERMSIG(status_);
}

ProcessUsage WineProcess::Usage() const {
    ProcessUsage usage;
    auto proc = std::filesystem::path("/proc") / std::to_string(pid_);
    // utime and stime are fields 14 and 15: the 12th and 13th after the
    // parenthesised name, which may itself hold spaces.
    std::string stat = ReadFile(proc / "stat");
    std::istringstream afterName(stat.substr(stat.rfind(')') + 1));
    std::vector<std::string> fields{std::istream_iterator<std::string>(afterName), {}};
    if (fields.size() > 12)
        usage.cpuSeconds = (std::stod(fields[11]) + std::stod(fields[12])) / static_cast<double>(sysconf(_SC_CLK_TCK));
    std::istringstream status(ReadFile(proc / "status"));
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0) usage.peakMegabytes = std::stod(line.substr(6)) / 1024;
    return usage;
}

std::string WineProcess::Output() const { return ReadFile(outputFile_); }

std::vector<std::string> RunToEnd(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                                  std::chrono::milliseconds timeout, int* exitCode) {
    WineProcess process(program, arguments);
    int code = process.Wait(timeout);
    if (exitCode) *exitCode = code;
    std::vector<std::string> lines;
    std::istringstream text(process.Output());
    for (std::string line; std::getline(text, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

}  // namespace brenvik::e2e
