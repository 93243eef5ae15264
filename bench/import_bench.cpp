// Imports 10,000 13-digit codes end to end under Wine, several times, and
// prints the medians: throughput, Brenvik's CPU time per 1,000 codes and its
// peak memory. Then, alternating, 3,000 codes through Brenvik and through the
// bare reference importer, and the ratio of their medians. A run that lost,
// reordered or garbled a code fails the whole benchmark. Runs inside
// scripts/wine-session.sh with BRENVIK_BIN_DIR set.
//
// usage: import_bench [--runs N] [--compare-only]

#include <cstdio>
#include <cstring>
#include <exception>
#include <stdexcept>
#include <string>
#include <vector>

#include "ImportRun.h"
#include "Measure.h"

namespace {

using namespace brenvik::e2e;

constexpr int kCodes = 10000;
constexpr int kComparedCodes = 3000;
constexpr size_t kCodeWidth = 13;

std::vector<std::string> ExpectedCodes(int count) {
    std::vector<std::string> codes;
    for (int i = 0; i < count; ++i) {
        std::string digits = std::to_string(i);
        codes.push_back(std::string(kCodeWidth - digits.size(), '0') + digits);
    }
    return codes;
}

// Empty when the run delivered every code in order and ended normally.
std::string Fault(const ImportOutcome& outcome, const std::vector<std::string>& expected, const std::string& summary) {
    if (outcome.codes != expected) {
        size_t at = 0;
        while (at < outcome.codes.size() && at < expected.size() && outcome.codes[at] == expected[at]) ++at;
        return std::to_string(outcome.codes.size()) + " codes arrived, first wrong one at index " + std::to_string(at);
    }
    if (outcome.messages != std::vector<std::string>{summary} || !outcome.finished)
        return "the import did not end with its summary";
    if (outcome.transferSeconds <= 0) return "the collector never saw the last acknowledgement";
    return {};
}

ImportSetup Setup(int codes) {
    ImportSetup setup;
    setup.scenario = "codes-from-seq " + std::to_string(codes) + " " + std::to_string(kCodeWidth);
    setup.codeLength = kCodeWidth;
    setup.importLimitSeconds = 1800;
    return setup;
}

// One checked import; the throughput seen from the collector.
double TimedRun(const ImportSetup& setup, const std::string& summary, ImportOutcome& outcome) {
    const int codes = std::stoi(setup.scenario.substr(setup.scenario.find(' ') + 1));
    outcome = RunImport(setup);
    if (std::string fault = Fault(outcome, ExpectedCodes(codes), summary); !fault.empty())
        throw std::runtime_error("broken run: " + fault);
    return codes / outcome.transferSeconds;
}

void CompareWithReference(int runs) {
    ImportSetup brenvik = Setup(kComparedCodes), reference = Setup(kComparedCodes);
    reference.selfRunningImporter = {"reference_importer.exe", "COM1", "TMain865D2C3C09434DF4AFA2EDF18B0423EA"};
    std::vector<double> brenvikRates, referenceRates, brenvikCpu, referenceCpu;
    for (int run = 1; run <= runs; ++run) {
        ImportOutcome outcome;
        brenvikRates.push_back(TimedRun(brenvik, SummaryText(kComparedCodes, 0), outcome));
        brenvikCpu.push_back(outcome.cpuSeconds * 1000 / kComparedCodes);
        referenceRates.push_back(TimedRun(reference, "imported " + std::to_string(kComparedCodes), outcome));
        referenceCpu.push_back(outcome.cpuSeconds * 1000 / kComparedCodes);
        std::printf("# compared run %d: Brenvik %.1f codes/s (%.2f CPU s per 1,000), reference %.1f codes/s (%.2f)\n",
                    run, brenvikRates.back(), brenvikCpu.back(), referenceRates.back(), referenceCpu.back());
        std::fflush(stdout);
    }
    std::printf("compared_brenvik_codes_per_s %.1f\n", Median(brenvikRates));
    std::printf("compared_reference_codes_per_s %.1f\n", Median(referenceRates));
    std::printf("compared_ratio %.3f\n", Median(brenvikRates) / Median(referenceRates));
    std::printf("compared_brenvik_cpu_s_per_1000_codes %.3f\n", Median(brenvikCpu));
    std::printf("compared_reference_cpu_s_per_1000_codes %.3f\n", Median(referenceCpu));
}

}  // namespace

int main(int argc, char** argv) {
    int runs = 3;
    bool compareOnly = false;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--runs") && i + 1 < argc)
            runs = std::atoi(argv[++i]);
        else if (!std::strcmp(argv[i], "--compare-only"))
            compareOnly = true;
        else
            runs = 0;
    }
    if (runs < 1) {
        std::fprintf(stderr, "usage: import_bench [--runs N] [--compare-only]\n");
        return 2;
    }
    try {
        std::vector<double> rates, cpuPerThousand, peaks;
        for (int run = 1; run <= runs && !compareOnly; ++run) {
            ImportOutcome outcome;
            rates.push_back(TimedRun(Setup(kCodes), SummaryText(kCodes, 0), outcome));
            cpuPerThousand.push_back(outcome.cpuSeconds * 1000 / kCodes);
            peaks.push_back(outcome.peakMegabytes);
            std::printf("# run %d: %.2f s on the wire (%.2f s as the driver saw it), %.1f codes/s, %.2f CPU s, %.1f MB\n",
                        run, outcome.transferSeconds, outcome.seconds, rates.back(), outcome.cpuSeconds, peaks.back());
            std::fflush(stdout);
        }
        if (!compareOnly) {
            std::printf("import_codes_per_s %.1f\n", Median(rates));
            std::printf("import_cpu_s_per_1000_codes %.3f\n", Median(cpuPerThousand));
            std::printf("import_peak_mb %.1f\n", Median(peaks));
        }
        CompareWithReference(runs);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "import_bench: %s\n", error.what());
        return 1;
    }
    return 0;
}
