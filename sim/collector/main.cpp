// brenvik-collector: plays a data collector on a pseudo-terminal whose slave
// side appears at --link, for end-to-end tests and demos.
#include "PtyPeer.h"

#include <chrono>
#include <csignal>
#include <fstream>
#include <iostream>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>

namespace {

volatile std::sig_atomic_t g_signalled = 0;

void OnSignal(int) { g_signalled = 1; }

struct Options {
    std::string scenarioPath;
    std::string linkPath;
    std::optional<std::string> receivedLog;
    bool exitWhenDone = false;
};

std::optional<Options> ParseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        bool hasValue = i + 1 < argc;
        if (arg == "--scenario" && hasValue) {
            options.scenarioPath = argv[++i];
        } else if (arg == "--link" && hasValue) {
            options.linkPath = argv[++i];
        } else if (arg == "--received-log" && hasValue) {
            options.receivedLog = argv[++i];
        } else if (arg == "--exit-when-done") {
            options.exitWhenDone = true;
        } else {
            return std::nullopt;
        }
    }
    if (options.scenarioPath.empty() || options.linkPath.empty()) return std::nullopt;
    return options;
}

}  // namespace

int main(int argc, char** argv) {
    std::optional<Options> options = ParseOptions(argc, argv);
    if (!options) {
        std::cerr << "usage: brenvik-collector --scenario FILE --link PATH"
                     " [--received-log FILE] [--exit-when-done]\n";
        return 2;
    }
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    try {
        PtyPeer peer(LoadCollectorScenario(options->scenarioPath), options->linkPath);
        std::cout << "ready " << peer.SlavePath() << std::endl;

        constexpr auto kTick = std::chrono::milliseconds(50);
        // Lets the host read OVER and close the port before the pty goes away.
        constexpr auto kGraceAfterDone = std::chrono::milliseconds(500);
        while (!g_signalled) {
            if (peer.WaitFinished(kTick) && options->exitWhenDone) {
                std::this_thread::sleep_for(kGraceAfterDone);
                break;
            }
        }
        peer.Stop();

        if (options->receivedLog) {
            std::ofstream log(*options->receivedLog, std::ios::binary);
            log << peer.Received();
            if (!log) throw std::runtime_error("cannot write " + *options->receivedLog);
        }
        CollectorState state = peer.State();
        std::cerr << "collector: received " << peer.BytesReceived() << " bytes, sent "
                  << peer.BytesSent() << ", lines " << state.linesSent << ", acks "
                  << state.acksReceived << (state.finished ? ", finished\n" : ", unfinished\n");
    } catch (const std::exception& error) {
        std::cerr << "brenvik-collector: " << error.what() << '\n';
        return 1;
    }
    return 0;
}
