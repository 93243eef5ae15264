#include "app/ImportSession.h"

#include "app/Texts.h"
#include "base/Text.h"

namespace brenvik {
namespace {

const std::string kAttention = "\x07" "2Q";
const std::string kWakeByte = "\x0f";
const std::string kDataRequest = "GETD\r";
const std::string kRefusal = "NAK\r";
const std::string kAcknowledge = "ACK\r";
const std::string kEndOfData = "OVER\r";

constexpr int kWakeAttempts = 50;
constexpr std::uint32_t kWakePauseMs = 100;
constexpr std::int32_t kRequestReplyLimitMs = 500;
constexpr std::int32_t kLineLimitMs = 1000;

constexpr std::uintptr_t kEndOfCodeChar = 13;
constexpr std::intptr_t kEndOfCodeMark = 1;
constexpr size_t kCutSpan = 255;  // characters removed at most by one cut

class RunningFlag {
public:
    RunningFlag(bool& flag, ImportHost& host) : flag_(flag), host_(host) {
        flag_ = true;
        host_.ImportRunningChanged(true);
    }
    ~RunningFlag() {
        flag_ = false;
        host_.ImportRunningChanged(false);
    }

private:
    bool& flag_;
    ImportHost& host_;
};

}  // namespace

ImportSession::ImportSession(TSerialPort32& port, ImportHost& host, TargetWindowApi& target)
    : port_(port), host_(host), target_(target) {}

bool ImportSession::Run() {
    if (running_) return false;
    RunningFlag running(running_, host_);

    window_ = target_.FindByClass(LoadText(kTextTargetClass));
    if (!window_) window_ = target_.FindByClass(LoadText(kTextTargetClassAlternative));
    if (!window_) {
        host_.ShowInformation(LoadText(kTextTargetMissing));
        return true;
    }
    try {
        Transfer();
    } catch (...) {
        port_.Close();
        throw;
    }
    port_.Close();
    return true;
}

bool ImportSession::WakeCollector() {
    for (int attempt = 0; attempt < kWakeAttempts; ++attempt) {
        port_.LineControl(TSerialPort32::kClearDtr);
        port_.LineControl(TSerialPort32::kClearRts);
        port_.WriteText(kWakeByte);
        port_.LineControl(TSerialPort32::kSetDtr);
        port_.LineControl(TSerialPort32::kSetRts);
        // Reconfigures only in the first attempt, when the speed changes.
        port_.SetBaudIndex(TSerialPort32::kBaud9600);
        std::string echo = port_.ReadAll();
        if (!echo.empty() && echo[0] == kWakeByte[0]) return true;
        host_.ProcessMessages();
        target_.Sleep(kWakePauseMs);
    }
    return false;
}

std::string ImportSession::FramedCode(const std::string& line) {
    // The collector frames each code with one leading and three trailing bytes.
    return line.size() > 4 ? line.substr(1, line.size() - 4) : std::string();
}

std::string ImportSession::CutCode(std::string code) const {
    if (host_.CutOption()) {
        size_t keep = static_cast<size_t>(host_.CodeLength());
        if (keep < code.size()) code.erase(keep, kCutSpan);
    }
    return code;
}

void ImportSession::Transfer() {
    port_.SetPortName(port_.PortList().PortNameOf(host_.PortDisplayName()));
    port_.Open();

    port_.SetBaudIndex(TSerialPort32::kBaud38400);
    port_.WriteText(kAttention);
    port_.ReadAll();
    if (!WakeCollector()) return;

    port_.WriteText(kAttention);
    if (host_.RefreshOption()) FeedCode("-1");
    port_.ReadAll();
    port_.SendAndWait(kDataRequest, kRefusal, kRequestReplyLimitMs);
    if (!port_.SendAndWait(kDataRequest, kAcknowledge, kRequestReplyLimitMs)) {
        host_.ShowInformation(LoadText(kTextCollectorSilent));
        return;
    }

    ImportJournal journal(host_.OpenJournal(), [this](const std::string& message) { host_.ReportJournalFailure(message); });
    journal.Begin(host_.PortDisplayName());
    int received = 0, imported = 0, rejected = 0;
    for (std::string line = port_.ReadLine(kLineLimitMs); !line.empty() && line != kEndOfData;
         line = port_.ReadLine(kLineLimitMs)) {
        // Unacknowledged, the line stays in the collector.
        if (!target_.Exists(window_)) {
            journal.End(received, imported, rejected);
            return StopForVanishedTarget(imported);
        }
        const std::string framed = FramedCode(line);
        journal.Received(++received, framed);
        port_.WriteText(kAcknowledge);
        const std::string code = CutCode(framed);
        if (host_.IgnoreOption() && code.size() != static_cast<size_t>(host_.CodeLength())) {
            journal.Rejected(received, code.size(), host_.CodeLength());
            ++rejected;
            continue;
        }
        // Gone while the code was typed: it did not arrive whole and is not counted.
        if (!FeedCode(code)) {
            journal.NotDelivered(received, code);
            journal.End(received, imported, rejected);
            return StopForVanishedTarget(imported);
        }
        journal.Fed(received, code);
        ++imported;
        host_.SetCaption(FormatInts(LoadText(kTextImportProgress), {imported}));
        host_.ProcessMessages();
    }
    journal.End(received, imported, rejected);

    if (host_.RefreshOption()) FeedCode("-2");
    host_.ShowInformation(FormatInts(LoadText(kTextImportSummary), {imported + rejected, rejected}));
    host_.SetCaption(LoadText(kTextAppTitle));
}

void ImportSession::StopForVanishedTarget(int typedIn) {
    host_.ShowInformation(FormatInts(LoadText(kTextTargetVanished), {typedIn}));
    host_.SetCaption(LoadText(kTextAppTitle));
}

bool ImportSession::FeedCode(const std::string& code) {
    for (unsigned char byte : code)
        if (!target_.Send(window_, kKeyMessage, byte, 0)) return false;
    return target_.Send(window_, kKeyMessage, kEndOfCodeChar, kEndOfCodeMark);
}

}  // namespace brenvik
