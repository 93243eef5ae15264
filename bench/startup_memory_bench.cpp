// What an idle Brenvik keeps for itself under Wine: the real Brenvik.exe is
// started, left alone once its main window is up, and its private memory read
// from Linux. Wine does not fill in another process's private bytes
// (GetProcessMemoryInfo gives 0), and the Wine loader's process is the Windows
// process, so its private pages are Brenvik's own: its heaps, stacks and
// written data, with none of the shared libraries' clean pages.
//
// usage: startup_memory_bench [--runs N]   (inside scripts/wine-session.sh, BRENVIK_BIN_DIR set)
// Prints each run on a '#' line, then "idle_private_mb <median>" and "idle_resident_mb <median>".

#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "Measure.h"
#include "WineSession.h"

namespace {

using namespace std::chrono_literals;
using brenvik::e2e::WineProcess;
using brenvik::e2e::WineSession;

constexpr auto kIdleSettle = 3s;

// Kilobytes of the "Name:" lines of a /proc file that start with `prefix`, summed.
double SumKilobytes(const std::string& file, const std::string& prefix) {
    std::ifstream in(file);
    double total = 0;
    for (std::string line; std::getline(in, line);)
        if (line.rfind(prefix, 0) == 0) total += std::stod(line.substr(line.find(':') + 1));
    return total;
}

// The one child this program has running: the Brenvik it started.
int ChildPid() {
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        std::ifstream in(entry.path() / "stat");
        std::string stat;
        if (!std::getline(in, stat)) continue;
        std::istringstream afterName(stat.substr(stat.rfind(')') + 2));
        std::string state;
        int parent = 0;
        if (afterName >> state >> parent && parent == getpid()) return std::stoi(entry.path().filename().string());
    }
    return -1;
}

}  // namespace

int main(int argc, char** argv) {
    int runs = 3;
    if (argc == 3 && std::strcmp(argv[1], "--runs") == 0) runs = std::atoi(argv[2]);
    WineSession& session = WineSession::Get();
    std::vector<double> privateMb, residentMb;
    for (int i = 0; i < runs; ++i) {
        WineProcess brenvik(session.Program("Brenvik.exe"), {});
        int exitCode = -1;
        brenvik::e2e::RunToEnd(session.Program("brenvik-driver.exe"), {"--settle-ms", "10000", "state"}, 30s,
                               &exitCode);
        if (exitCode != 0) {
            std::fprintf(stderr, "startup_memory_bench: Brenvik's window did not come up\n");
            return 1;
        }
        std::this_thread::sleep_for(kIdleSettle);
        std::string proc = "/proc/" + std::to_string(ChildPid());
        privateMb.push_back(SumKilobytes(proc + "/smaps_rollup", "Private_") / 1024);
        residentMb.push_back(SumKilobytes(proc + "/status", "VmRSS") / 1024);
        std::printf("# run %d: private %.1f MB, resident %.1f MB\n", i + 1, privateMb.back(), residentMb.back());
        brenvik::e2e::RunToEnd(session.Program("brenvik-driver.exe"), {"close"}, 30s);
        brenvik.Wait(20s);
    }
    std::printf("idle_private_mb %.1f\nidle_resident_mb %.1f\n", Median(privateMb), Median(residentMb));
    return 0;
}
