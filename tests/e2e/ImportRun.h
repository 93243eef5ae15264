#pragma once
#include <string>
#include <vector>

namespace brenvik::e2e {

// One import as a user runs it: settings stored, a collector on a COM port,
// the target program running, Brenvik started, its Import button clicked.
struct ImportSetup {
    std::string scenario;  // collector scenario; empty text: no collector on the port
    bool targetPresent = true;
    bool secondTargetClass = false;
    int targetClosesAfter = -1;  // the target closes its window after this many codes (-1: never)
    bool refresh = false, cut = false, ignore = false;
    int codeLength = 10;
    std::string comPort = "Kolektor danych (COM1)";  // display name kept in the settings
    int portNumber = 1;                              // the port the collector is attached to
    int importLimitSeconds = 60;                     // the longest the import may take
    // Instead of Brenvik: a Windows program of the session and its arguments,
    // which runs the whole import by itself and ends (the benchmarks' reference);
    // its output lines are the messages, but for "cpu S", its CPU seconds.
    std::vector<std::string> selfRunningImporter;
};

struct ImportOutcome {
    std::vector<std::string> messages;  // message boxes in order, UTF-8
    bool finished = false;              // the import ended and the window closed normally
    std::vector<std::string> codes;     // codes the target rebuilt, in order
    std::vector<std::string> keyLog;    // every key message as "wParam lParam"
    std::string received;               // bytes the collector got from Brenvik
    std::string captionAfter;
    std::string journal;                // the text of the journal this import wrote; empty when none
    double seconds = 0;                 // from the click to the end of the import
    // Seen from the collector, free of the driver's start-up and polling: from
    // Brenvik's first byte to its last acknowledgement; 0 when never finished.
    double transferSeconds = 0;
    double cpuSeconds = 0;     // Brenvik's CPU time from just before the click to just before closing
    double peakMegabytes = 0;  // Brenvik's peak resident memory
};

ImportOutcome RunImport(const ImportSetup& setup);

// UTF-8 texts of the program's messages.
std::string SummaryText(int all, int rejected);
extern const char kTargetMissingText[];
extern const char kCollectorSilentText[];
// The text when the target went away after `typedIn` codes.
std::string TargetVanishedText(int typedIn);

}  // namespace brenvik::e2e
