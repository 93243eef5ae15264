// Report mail under Wine: a 1 MB report delivered over SMTP to the local
// server of scripts/mail_wine_tests.sh, with the share spent in the client's
// 1-ms poll sleeps (the 1000-ms silence window after every reply), and the
// screen captured and written as PNG. Prints "<figure> <value>" lines.
//
//   scripts/mail_wine_tests.sh /tmp/mail-bench scripts/wine-exec.sh build/win64/bin/mail_smtp_bench.exe
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

#include "Measure.h"
#include "crash/mail/ReportMail.h"
#include "crash/report/CrashFailureLog.h"
#include "crash/win32/Win32CrashSocketApi.h"
#include "crash/win32/Win32Screenshot.h"

using namespace brenvik;

namespace {

// Windows Sockets, adding up the time the client spends sleeping in its polls.
class SleepCountingSockets : public Win32CrashSocketApi {
public:
    double SleptMs = 0;
    void Sleep(std::uint32_t milliseconds) override {
        const auto start = std::chrono::steady_clock::now();
        Win32CrashSocketApi::Sleep(milliseconds);
        SleptMs += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    }
};

struct NoMemory : ProcessMemory {
    bool IsReadable(CrashAddress, std::size_t) const override { return false; }
    bool Read(CrashAddress, void*, std::size_t) const override { return false; }
};

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main() {
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "brenvik-mail-bench";
    std::filesystem::create_directories(folder);

    std::vector<double> shots;
    for (int run = 0; run < 5; ++run) {
        const auto start = std::chrono::steady_clock::now();
        if (!WriteScreenshotPng((folder / "Screenshot.png").string())) return 1;
        shots.push_back(SecondsSince(start) * 1000);
    }
    std::printf("screenshot_%dx%d_ms %.0f\n", GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                Median(shots));

    std::string line = "Exception: EAccessViolation at 0040123A in module Brenvik.exe, read of 00000000.";
    std::string report;
    while (report.size() < (1u << 20)) report += line + "\r\n";
    const std::filesystem::path reportFile = folder / "Brenvik.clog";
    std::ofstream(reportFile, std::ios::binary) << report;

    TCrashTrace trace("C:\\mail-bench.exe", [] { return TCrashDateTime{}; });
    NoMemory memory;
    TCrashFailureLog log(trace, memory);
    TMailProgress progress;
    TSmtpStatusTexts texts;
    for (int run = 0; run < 3; ++run) {
        SleepCountingSockets sockets;
        TSmtpSession session{sockets, log, progress, texts, [] { return std::string("Wed, 9 Dec 2026"); }};
        const TSmtpReport mail{false, "bench@brenvik.test", {"127.0.0.1", 25}, "dev@brenvik.test", "bench", "1 MB",
                               {reportFile.string(), ""}};
        const auto start = std::chrono::steady_clock::now();
        const bool sent = SendReportSmtp(session, mail, {});
        const double seconds = SecondsSince(start);
        std::printf("smtp_1mb_s %.2f sent=%d poll_sleep_s %.2f\n", seconds, sent, sockets.SleptMs / 1000);
    }
    std::filesystem::remove_all(folder);
    return 0;
}
