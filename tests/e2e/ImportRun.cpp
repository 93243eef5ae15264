#include "ImportRun.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <set>
#include <sstream>
#include <stdexcept>
#include <stop_token>
#include <thread>

#include "PrefixFiles.h"
#include "PtyPeer.h"
#include "WineSession.h"

namespace brenvik::e2e {
namespace {

using namespace std::chrono_literals;

const char kFirstClass[] = "TMain865D2C3C09434DF4AFA2EDF18B0423EA";
const char kSecondClass[] = "TMain865D2C3C09434DF4AFA2EDF18B0423EB";

std::string SettingsRegistry(const ImportSetup& setup) {
    char codeLength[16];
    std::snprintf(codeLength, sizeof codeLength, "%08x", static_cast<unsigned>(setup.codeLength));
    std::ostringstream reg;
    reg << "[-HKEY_CURRENT_USER\\Software\\Morvane]\r\n\r\n"
        << "[HKEY_CURRENT_USER\\Software\\Morvane\\FormMain4D643DD6BD8E447C9291EEDF0A10BE65]\r\n"
        << "\"ComPort\"=\"" << setup.comPort << "\"\r\n"
        << "\"Refresh\"=\"" << (setup.refresh ? 1 : 0) << "\"\r\n"
        << "\"Cut\"=\"" << (setup.cut ? 1 : 0) << "\"\r\n"
        << "\"CodeLen\"=dword:" << codeLength << "\r\n"
        << "\"Ignore\"=\"" << (setup.ignore ? 1 : 0) << "\"\r\n\r\n";
    return reg.str();
}

// The target simulator writes one code per line with \xhh escapes.
std::vector<std::string> DecodeCodes(const std::string& text) {
    std::vector<std::string> codes;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        std::string code;
        for (size_t i = 0; i < line.size(); ++i) {
            if (line[i] == '\\' && i + 3 < line.size() && line[i + 1] == 'x') {
                code.push_back(static_cast<char>(std::stoi(line.substr(i + 2, 2), nullptr, 16)));
                i += 3;
            } else {
                code.push_back(line[i]);
            }
        }
        codes.push_back(code);
    }
    return codes;
}

std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

void WaitForFile(const std::filesystem::path& path, std::chrono::milliseconds timeout) {
    auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!std::filesystem::exists(path)) {
        if (std::chrono::steady_clock::now() > deadline) throw std::runtime_error("no " + path.string());
        std::this_thread::sleep_for(20ms);
    }
}

std::vector<std::string> Drive(const std::vector<std::string>& command, std::chrono::milliseconds timeout) {
    std::vector<std::string> arguments{"--timeout-ms", std::to_string(timeout.count())};
    arguments.insert(arguments.end(), command.begin(), command.end());
    return RunToEnd(WineSession::Get().Program("brenvik-driver.exe"), arguments, timeout + 10s);
}

// Polled rather than taken from the driver, whose start-up and polling would
// blur both ends; 0 when the collector never saw its last acknowledgement.
double TimeTransfer(const PtyPeer& collector, std::stop_token stop) {
    std::optional<std::chrono::steady_clock::time_point> first;
    while (!stop.stop_requested()) {
        auto now = std::chrono::steady_clock::now();
        if (!first && collector.BytesReceived() > 0) first = now;
        if (first && collector.State().finished) return std::chrono::duration<double>(now - *first).count();
        std::this_thread::sleep_for(1ms);
    }
    return 0;
}

// The journals in the prefix user's "%LOCALAPPDATA%\Brenvik\Imports".
std::set<std::filesystem::path> JournalFiles() {
    std::set<std::filesystem::path> files;
    std::error_code error;
    for (const auto& user : std::filesystem::directory_iterator(WineSession::Get().Prefix() / "drive_c/users", error)) {
        const auto folder = user.path() / "AppData/Local/Brenvik/Imports";
        for (const auto& entry : std::filesystem::directory_iterator(folder, error)) files.insert(entry.path());
    }
    return files;
}

std::string NewJournalText(const std::set<std::filesystem::path>& before) {
    for (const auto& file : JournalFiles())
        if (!before.count(file)) return ReadAll(file);
    return {};
}


// Brenvik started, its Import clicked, its caption read and the window closed.
void DriveBrenvik(const ImportSetup& setup, std::optional<std::jthread>& transferClock, ImportOutcome& outcome) {
    WineProcess brenvik(WineSession::Get().Program("Brenvik.exe"), {});
    if (Drive({"wait-window"}, 30s) != std::vector<std::string>{"window"})
        throw std::runtime_error("Brenvik's window did not appear");

    const std::set<std::filesystem::path> journalsBefore = JournalFiles();
    ProcessUsage before = brenvik.Usage();
    auto start = std::chrono::steady_clock::now();
    for (const auto& line : Drive({"import"}, std::chrono::seconds(setup.importLimitSeconds))) {
        if (line.rfind("message: ", 0) == 0) outcome.messages.push_back(line.substr(9));
        if (line == "done") outcome.finished = true;
    }
    outcome.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (transferClock) transferClock->request_stop();
    for (const auto& line : Drive({"caption"}, 10s))
        if (line.rfind("caption: ", 0) == 0) outcome.captionAfter = line.substr(9);

    ProcessUsage after = brenvik.Usage();
    outcome.cpuSeconds = after.cpuSeconds - before.cpuSeconds;
    outcome.peakMegabytes = after.peakMegabytes;
    Drive({"close"}, 20s);
    outcome.finished = outcome.finished && brenvik.Wait(20s) == 0;
    outcome.journal = NewJournalText(journalsBefore);
}

void RunSelfRunningImporter(const ImportSetup& setup, ImportOutcome& outcome) {
    const std::vector<std::string>& command = setup.selfRunningImporter;
    auto start = std::chrono::steady_clock::now();
    WineProcess importer(WineSession::Get().Program(command.front()), {command.begin() + 1, command.end()});
    outcome.finished = importer.Wait(std::chrono::seconds(setup.importLimitSeconds)) == 0;
    outcome.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    for (std::string line : Lines(importer.Output())) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.rfind("cpu ", 0) == 0)
            outcome.cpuSeconds = std::stod(line.substr(4));
        else
            outcome.messages.push_back(line);
    }
}

}  // namespace

const char kTargetMissingText[] =
    "System Veltra II nie jest aktywny. Przed wprowadzeniem informacji uruchom Veltra II.";
const char kCollectorSilentText[] = "Brak po\u0142\u0105czenia z kolektorem danych!";

std::string TargetVanishedText(int typedIn) {
    return "System Veltra II zosta\u0142 zamkni\u0119ty lub przesta\u0142 odpowiada\u0107 w trakcie importu. Wprowadzono " +
           std::to_string(typedIn) + " kod(\u00f3w), pozosta\u0142e kody s\u0105 nadal w kolektorze.";
}

std::string SummaryText(int all, int rejected) {
    return "Zaimportowano " + std::to_string(all) + " kod(\u00f3w) z czego " + std::to_string(rejected) +
           " odrzucono.";
}

ImportOutcome RunImport(const ImportSetup& setup) {
    WineSession& session = WineSession::Get();
    static bool portsInstalled = false;
    session.ImportRegistry("REGEDIT4\r\n\r\n" + (portsInstalled ? std::string() : PortListRegistry({1, 2, 3, 4, 7})) +
                           SettingsRegistry(setup));
    portsInstalled = true;

    // The collector's link replaces whatever the port pointed at; a port
    // without a collector points at nothing.
    auto link = session.PortLink(setup.portNumber);
    if (session.PortTarget(setup.portNumber) != link.string())
        throw std::runtime_error("COM" + std::to_string(setup.portNumber) + " is not mapped into the session");
    std::filesystem::remove(link);
    std::optional<PtyPeer> collector;
    if (!setup.scenario.empty()) collector.emplace(ParseCollectorScenario(setup.scenario), link.string());

    auto codesFile = session.Scratch("codes.txt"), logFile = session.Scratch("keys.txt");
    auto readyFile = session.Scratch("target-ready");
    std::filesystem::remove(readyFile);
    std::unique_ptr<WineProcess> target;
    if (setup.targetPresent) {
        std::vector<std::string> arguments{"--out", WindowsPath(codesFile), "--log", WindowsPath(logFile), "--ready",
                                           WindowsPath(readyFile)};
        if (setup.secondTargetClass) arguments.push_back("--second-class");
        if (setup.targetClosesAfter >= 0) {
            arguments.push_back("--close-after");
            arguments.push_back(std::to_string(setup.targetClosesAfter));
        }
        target = std::make_unique<WineProcess>(session.Program("veltra-sim.exe"), arguments);
        WaitForFile(readyFile, 30s);
    }

    ImportOutcome outcome;
    std::optional<std::jthread> transferClock;
    if (collector)
        transferClock.emplace([&](std::stop_token stop) { outcome.transferSeconds = TimeTransfer(*collector, stop); });
    if (setup.selfRunningImporter.empty())
        DriveBrenvik(setup, transferClock, outcome);
    else
        RunSelfRunningImporter(setup, outcome);
    transferClock.reset();  // stops and joins the clock
    if (target) {
        // A target that closed itself has no window left to close.
        if (setup.targetClosesAfter < 0) Drive({"close-class", setup.secondTargetClass ? kSecondClass : kFirstClass}, 20s);
        target->Wait(20s);
        outcome.codes = DecodeCodes(ReadAll(codesFile));
        outcome.keyLog = Lines(ReadAll(logFile));
    }
    if (collector) {
        outcome.received = collector->Received();
        collector->Stop();
    }
    return outcome;
}

}  // namespace brenvik::e2e
