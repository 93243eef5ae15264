// Imports 10,000 13-digit codes end to end under Wine, several times, and
// prints the medians: throughput, Brenvik's CPU time per 1,000 codes and its
// peak memory. A run that lost, reordered or garbled a code fails the whole
// benchmark. Runs inside scripts/wine-session.sh with BRENVIK_BIN_DIR set.
//
// usage: import_bench [--runs N]

#include <cstdio>
#include <cstring>
#include <exception>
#include <string>
#include <vector>

#include "ImportRun.h"
#include "Measure.h"

namespace {

using namespace brenvik::e2e;

constexpr int kCodes = 10000;
constexpr size_t kCodeWidth = 13;

std::vector<std::string> ExpectedCodes() {
    std::vector<std::string> codes;
    for (int i = 0; i < kCodes; ++i) {
        std::string digits = std::to_string(i);
        codes.push_back(std::string(kCodeWidth - digits.size(), '0') + digits);
    }
    return codes;
}

// Empty when the run delivered every code in order and ended normally.
std::string Fault(const ImportOutcome& outcome, const std::vector<std::string>& expected) {
    if (outcome.codes != expected) {
        size_t at = 0;
        while (at < outcome.codes.size() && at < expected.size() && outcome.codes[at] == expected[at]) ++at;
        return std::to_string(outcome.codes.size()) + " codes arrived, first wrong one at index " + std::to_string(at);
    }
    if (outcome.messages != std::vector<std::string>{SummaryText(kCodes, 0)} || !outcome.finished)
        return "the import did not end with its summary";
    if (outcome.transferSeconds <= 0) return "the collector never saw the last acknowledgement";
    return {};
}

}  // namespace

int main(int argc, char** argv) {
    int runs = 3;
    if (argc == 3 && !std::strcmp(argv[1], "--runs")) runs = std::atoi(argv[2]);
    if ((argc != 1 && argc != 3) || runs < 1) {
        std::fprintf(stderr, "usage: import_bench [--runs N]\n");
        return 2;
    }
    ImportSetup setup;
    setup.scenario = "codes-from-seq " + std::to_string(kCodes) + " " + std::to_string(kCodeWidth);
    setup.codeLength = kCodeWidth;
    setup.importLimitSeconds = 1800;
    const std::vector<std::string> expected = ExpectedCodes();

    std::vector<double> rates, cpuPerThousand, peaks;
    for (int run = 1; run <= runs; ++run) {
        ImportOutcome outcome;
        try {
            outcome = RunImport(setup);
        } catch (const std::exception& error) {
            std::fprintf(stderr, "import_bench: run %d: %s\n", run, error.what());
            return 1;
        }
        if (std::string fault = Fault(outcome, expected); !fault.empty()) {
            std::fprintf(stderr, "import_bench: run %d is broken: %s\n", run, fault.c_str());
            return 1;
        }
        rates.push_back(kCodes / outcome.transferSeconds);
        cpuPerThousand.push_back(outcome.cpuSeconds * 1000 / kCodes);
        peaks.push_back(outcome.peakMegabytes);
        std::printf("# run %d: %.2f s on the wire (%.2f s as the driver saw it), %.1f codes/s, %.2f CPU s, %.1f MB\n",
                    run, outcome.transferSeconds, outcome.seconds, rates.back(), outcome.cpuSeconds, peaks.back());
        std::fflush(stdout);
    }
    std::printf("import_codes_per_s %.1f\n", Median(rates));
    std::printf("import_cpu_s_per_1000_codes %.3f\n", Median(cpuPerThousand));
    std::printf("import_peak_mb %.1f\n", Median(peaks));
    return 0;
}
