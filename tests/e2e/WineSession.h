#pragma once
#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace brenvik::e2e {

// The Wine session the test runs in (see scripts/wine-session.sh): where the
// programs are, how to start them, the session's COM port links.
class WineSession {
public:
    // Fails the test run (throws) outside a prepared session.
    static WineSession& Get();

    std::filesystem::path Program(const std::string& name) const { return binDir_ / name; }
    std::filesystem::path PortLink(int number) const { return portsDir_ / ("com" + std::to_string(number)); }
    std::filesystem::path Scratch(const std::string& name) const;
    // The settings scripts/wine-session.sh gave the session's prefix.
    std::filesystem::path SettingsFile() const { return portsDir_.parent_path() / "session.reg"; }
    // Imports REGEDIT4 text into the prefix's registry.
    void ImportRegistry(const std::string& regText) const;
    // Where Wine's device mapping sends COMn; empty when unmapped.
    std::string PortTarget(int number) const;
    const std::filesystem::path& Prefix() const { return prefix_; }
    const std::string& Wine() const { return wine_; }

private:
    WineSession();
    std::filesystem::path binDir_, portsDir_, prefix_, scratch_;
    std::string wine_;
};

// What a running process has used so far.
struct ProcessUsage {
    double cpuSeconds = 0;     // user + system time
    double peakMegabytes = 0;  // peak resident memory
};

// A Windows program started under Wine, its standard output going to a file.
// The destructor kills it (by pid) if it is still running.
class WineProcess {
public:
    WineProcess(const std::filesystem::path& program, const std::vector<std::string>& arguments);
    ~WineProcess();
    WineProcess(const WineProcess&) = delete;
    WineProcess& operator=(const WineProcess&) = delete;

    // Exit code, or -1 when it did not end within the timeout.
    int Wait(std::chrono::milliseconds timeout);
    std::string Output() const;
    bool Running();
    // The Wine loader's process is the Windows process, threads and all.
    ProcessUsage Usage() const;

private:
    pid_t pid_ = -1;
    int status_ = -1;
    std::filesystem::path outputFile_;
};

// Runs a program to its end and returns its output lines.
std::vector<std::string> RunToEnd(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                                  std::chrono::milliseconds timeout, int* exitCode = nullptr);

}  // namespace brenvik::e2e
