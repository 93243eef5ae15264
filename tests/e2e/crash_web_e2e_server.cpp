#include "crash_web_e2e_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>
#include <vector>

extern char** environ;

namespace brenvik::e2e {
namespace {

using namespace std::chrono_literals;

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

sockaddr_in Loopback(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

// A port nobody listens on right now; the server may still lose it to
// another program before it binds, which Start notices.
int FreeLoopbackPort() {
    const int probe = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = Loopback(0);
    socklen_t size = sizeof address;
    if (probe < 0 || bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        getsockname(probe, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
        if (probe >= 0) close(probe);
        throw std::runtime_error("no free port on 127.0.0.1");
    }
    close(probe);
    return ntohs(address.sin_port);
}

bool Accepts(int port) {
    const int client = socket(AF_INET, SOCK_STREAM, 0);
    if (client < 0) return false;
    sockaddr_in address = Loopback(port);
    const bool connected = connect(client, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    close(client);
    return connected;
}

// Starts `words` with standard output and error going to `output`.
pid_t Spawn(std::vector<std::string> words, const std::filesystem::path& output) {
    std::vector<char*> argv;
    for (auto& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    pid_t pid = -1;
    const int result = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (result != 0) throw std::runtime_error("cannot start " + words[0]);
    return pid;
}

// True when `pid` ended within `timeout` (it is then reaped).
bool Reaped(pid_t pid, std::chrono::milliseconds timeout, int* status = nullptr) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    int ignored = 0;
    while (waitpid(pid, status ? status : &ignored, WNOHANG) != pid) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

}  // namespace

CgiWebServer::CgiWebServer(const std::filesystem::path& folder, const std::filesystem::path& scripts)
    : folder_(folder) {
    for (int attempt = 0; attempt < 3; ++attempt)
        if (Start(scripts)) return;
    throw std::runtime_error("lighttpd did not start: " + ReadFile(folder_ / "lighttpd.out") + ErrorLog());
}

CgiWebServer::~CgiWebServer() { Stop(); }

bool CgiWebServer::Start(const std::filesystem::path& scripts) {
    port_ = FreeLoopbackPort();
    const auto config = folder_ / "lighttpd.conf";
    std::ofstream(config) << "server.document-root = \"" << scripts.string() << "\"\n"
                          << "server.bind = \"127.0.0.1\"\n"
                          << "server.port = " << port_ << "\n"
                          << "server.modules = ( \"mod_cgi\" )\n"
                          << "server.errorlog = \"" << (folder_ / "error.log").string() << "\"\n"
                          << "cgi.assign = ( \".cgi\" => \"/bin/sh\" )\n";
    pid_ = Spawn({"lighttpd", "-D", "-f", config.string()}, folder_ / "lighttpd.out");
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (std::chrono::steady_clock::now() < deadline) {
        if (Accepts(port_)) return true;
        if (Reaped(pid_, 0ms)) {  // lost the port, or a configuration it refused
            pid_ = -1;
            return false;
        }
        std::this_thread::sleep_for(50ms);
    }
    Stop();
    return false;
}

void CgiWebServer::Stop() {
    if (pid_ < 0) return;
    kill(pid_, SIGTERM);
    if (!Reaped(pid_, 5s)) {
        kill(pid_, SIGKILL);
        Reaped(pid_, 5s);
    }
    pid_ = -1;
}

std::string CgiWebServer::Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

std::string CgiWebServer::ErrorLog() const { return ReadFile(folder_ / "error.log"); }

HttpResponse FetchWithCurl(const std::string& url, const std::filesystem::path& scratch, int timeoutSeconds) {
    const auto headers = scratch / "curl.headers", body = scratch / "curl.body", code = scratch / "curl.code";
    const pid_t curl = Spawn({"curl", "-sS", "--max-time", std::to_string(timeoutSeconds), "-D", headers.string(), "-o",
                              body.string(), "-w", "%{http_code}", url},
                             code);
    HttpResponse response;
    if (!Reaped(curl, std::chrono::seconds(timeoutSeconds + 10))) {
        kill(curl, SIGKILL);
        Reaped(curl, 5s);
        return response;
    }
    try {
        response.status = std::stoi(ReadFile(code));
    } catch (const std::exception&) {
        response.status = 0;
    }
    response.headers = ReadFile(headers);
    response.body = ReadFile(body);
    return response;
}

}  // namespace brenvik::e2e
