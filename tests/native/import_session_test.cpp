#include <gtest/gtest.h>

#include <functional>

#include "CollectorModel.h"
#include "FakeCommApi.h"
#include "FakeRegistry.h"
#include "app/ImportSession.h"
#include "app/Texts.h"

namespace brenvik {
namespace {

using testing::FakeCommApi;
using testing::FakeRegistry;

constexpr TargetWindowApi::WindowHandle kTargetWindow = 0x1234;

class RecordingTarget : public TargetWindowApi {
public:
    std::string presentClass = "TMain865D2C3C09434DF4AFA2EDF18B0423EA";
    std::vector<std::string> searched;
    std::vector<std::string> codes;  // rebuilt from the end-of-code marks
    std::string current;
    bool foreignMessage = false;
    FakeCommApi* clock = nullptr;
    // The target closes once it has handled this many messages (-1: never).
    int closesAfterMessages = -1;
    int handled = 0;

    WindowHandle FindByClass(const std::string& className) override {
        searched.push_back(className);
        return className == presentClass ? kTargetWindow : 0;
    }
    bool Send(WindowHandle window, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) override {
        if (!Exists(window)) return false;
        ++handled;
        foreignMessage |= window != kTargetWindow || message != 1034 || wParam > 255;
        if (wParam == 13 && lParam == 1) {
            codes.push_back(current);
            current.clear();
        } else {
            foreignMessage |= lParam != 0;
            current.push_back(static_cast<char>(wParam));
        }
        return true;
    }
    bool Exists(WindowHandle) override { return closesAfterMessages < 0 || handled < closesAfterMessages; }
    void Sleep(std::uint32_t milliseconds) override { clock->Sleep(milliseconds); }
};

class ScriptedHost : public ImportHost {
public:
    std::string portName = "Kolektor (COM3)";
    bool refresh = false, cut = false, ignore = false;
    int codeLength = 10;
    std::vector<std::string> messages, captions;
    int pumps = 0;
    std::vector<bool> runningChanges;
    std::function<void()> onPump;

    std::string PortDisplayName() override { return portName; }
    bool RefreshOption() override { return refresh; }
    bool CutOption() override { return cut; }
    bool IgnoreOption() override { return ignore; }
    int CodeLength() override { return codeLength; }
    void ShowInformation(const std::string& text) override { messages.push_back(text); }
    void SetCaption(const std::string& text) override { captions.push_back(text); }
    void ProcessMessages() override {
        ++pumps;
        if (onPump) onPump();
    }
    void ImportRunningChanged(bool running) override { runningChanges.push_back(running); }

    // The journal's text as written, line by line; `journalFailsAfter` appends succeed.
    std::string journal;
    int journalFailsAfter = -1;
    bool journalCreated = true;
    std::vector<std::string> journalFailures;
    std::function<void()> onJournalAppend;
    std::unique_ptr<JournalFile> OpenJournal() override {
        struct Recording : JournalFile {
            ScriptedHost& host;
            explicit Recording(ScriptedHost& owner) : host(owner) {}
            bool Append(std::string_view text) override {
                if (host.journalFailsAfter == 0) return false;
                if (host.journalFailsAfter > 0) --host.journalFailsAfter;
                if (host.onJournalAppend) host.onJournalAppend();
                host.journal.append(text);
                return true;
            }
        };
        return journalCreated ? std::make_unique<Recording>(*this) : nullptr;
    }
    void ReportJournalFailure(const std::string& message) override { journalFailures.push_back(message); }
};

class ImportSessionTest : public ::testing::Test {
protected:
    ImportSessionTest() {
        registry.SetText(kInterfaceRecord, "DeviceInstance", "USB\\COLLECTOR\\1");
        registry.SetText(kInstance, "ClassGUID", "{4D36E978-E325-11CE-BFC1-08002BE10318}");
        registry.SetText(kInstance, "FriendlyName", "Kolektor (COM3)");
        registry.SetText(kInstance + "\\Device Parameters", "PortName", "COM3");
        registry.Key(kInstance + "\\Control");
        target.clock = &comm;
    }

    // Plays the collector of the scenario text on the fake line.
    void Collector(const std::string& scenarioText) {
        model = std::make_unique<CollectorModel>(ParseCollectorScenario(scenarioText));
        comm.peer = [this](const std::string& bytes) { return model->OnReceive(bytes); };
    }
    std::string Summary(int fed, int rejected) {
        return "Zaimportowano " + std::to_string(fed + rejected) + " kod(\xf3w) z czego " + std::to_string(rejected) +
               " odrzucono.";
    }

    const std::string kInterfaceRecord =
        "SYSTEM\\CurrentControlSet\\Control\\DeviceClasses\\{86E0D1E0-8089-11D0-9CE4-08003E301F73}\\#1";
    const std::string kInstance = "SYSTEM\\CurrentControlSet\\Enum\\USB\\COLLECTOR\\1";

    FakeCommApi comm;
    FakeRegistry registry;
    TSerialPort32 port{comm, registry};
    RecordingTarget target;
    ScriptedHost host;
    ImportSession session{port, host, target};
    std::unique_ptr<CollectorModel> model;
};

// Veltra II closed mid-transfer: nothing more is acknowledged, typed or
// counted, "-2" is not fed, and the user learns how far the import came.
TEST_F(ImportSessionTest, TargetClosedMidTransferStopsWithTheRestLeftInTheCollector) {
    Collector("code 5901234123457\ncode 4006381333931\ncode 9780201379624\ncode 5012345678900\n");
    host.refresh = true;
    target.closesAfterMessages = 3 + 2 * 14;  // "-1" and two 13-digit codes, each with its mark
    ASSERT_TRUE(session.Run());
    EXPECT_EQ(target.codes, (std::vector<std::string>{"-1", "5901234123457", "4006381333931"}));
    EXPECT_EQ(model->State().acksReceived, 2u);
    EXPECT_FALSE(port.IsOpen());
    const std::string vanished = "System Veltra II zosta\xb3 zamkni\xeaty lub przesta\xb3 odpowiada\xe6 w trakcie "
                                 "importu. Wprowadzono 2 kod(\xf3w), pozosta\xb3" "e kody s\xb9 nadal w kolektorze.";
    EXPECT_EQ(host.messages, std::vector<std::string>{vanished});
    EXPECT_EQ(host.captions.back(), "Brenvik");

    // Gone while a code was being typed: that line was acknowledged, the code is not counted.
    RecordingTarget closing;
    closing.clock = &comm;
    ScriptedHost typing;
    ImportSession during{port, typing, closing};
    Collector("code 5901234123457\ncode 4006381333931\ncode 9780201379624\n");
    closing.closesAfterMessages = 14 + 5;  // in the middle of the second code
    ASSERT_TRUE(during.Run());
    EXPECT_EQ(closing.codes, (std::vector<std::string>{"5901234123457"}));
    EXPECT_EQ(closing.current, "40063");
    EXPECT_EQ(model->State().acksReceived, 2u);
    ASSERT_EQ(typing.messages.size(), 1u);
    EXPECT_NE(typing.messages[0].find("Wprowadzono 1 kod"), std::string::npos);
}

TEST_F(ImportSessionTest, JournalRecordsEveryLineBeforeItsAcknowledgementAndWhatBecameOfIt) {
    Collector("code 5901234123457\ncode 123\ncode 40063813339310\n");
    host.ignore = host.cut = true;
    host.codeLength = 13;
    // Each "received" line is written while the collector still waits for its ACK.
    std::vector<std::size_t> acksWhenReceived;
    host.onJournalAppend = [&] { acksWhenReceived.push_back(model->State().acksReceived); };
    ASSERT_TRUE(session.Run());
    EXPECT_EQ(host.journal,
              "Brenvik import from Kolektor (COM3)\r\n"
              "received 1: 5901234123457\r\n"
              "fed 1: 5901234123457\r\n"
              "received 2: 123\r\n"
              "rejected 2: length 3, not 13\r\n"
              "received 3: 40063813339310\r\n"
              "fed 3: 4006381333931\r\n"
              "end: 3 received, 2 fed, 1 rejected\r\n");
    EXPECT_EQ(acksWhenReceived, (std::vector<std::size_t>{0, 0, 1, 1, 2, 2, 3, 3}));
    EXPECT_TRUE(host.journalFailures.empty());

    // Gone while a code was typed: the journal says so.
    ScriptedHost closedHost;
    RecordingTarget closing;
    closing.clock = &comm;
    closing.closesAfterMessages = 5;
    ImportSession during{port, closedHost, closing};
    Collector("code 5901234123457\n");
    ASSERT_TRUE(during.Run());
    EXPECT_NE(closedHost.journal.find("\r\nnot delivered 1: 5901234123457\r\nend: 1 received, 0 fed, 0 rejected\r\n"),
              std::string::npos);
}

TEST_F(ImportSessionTest, JournalThatCannotBeWrittenIsReportedOnceAndTheImportGoesOn) {
    Collector("code 5901234123457\ncode 4006381333931\ncode 9780201379624\n");
    host.journalFailsAfter = 2;
    ASSERT_TRUE(session.Run());
    EXPECT_EQ(target.codes, (std::vector<std::string>{"5901234123457", "4006381333931", "9780201379624"}));
    EXPECT_EQ(host.journalFailures.size(), 1u);
    EXPECT_EQ(host.messages, std::vector<std::string>{Summary(3, 0)});

    ScriptedHost noFolder;
    noFolder.journalCreated = false;
    RecordingTarget second;
    second.clock = &comm;
    ImportSession unjournaled{port, noFolder, second};
    Collector("code 5901234123457\n");
    ASSERT_TRUE(unjournaled.Run());
    EXPECT_EQ(second.codes, std::vector<std::string>{"5901234123457"});
    EXPECT_EQ(noFolder.journalFailures.size(), 1u);
}

TEST_F(ImportSessionTest, FeedsEveryCodeAndReportsTheCounts) {
    Collector("code 5901234123457\ncode 123\ncode 0000000000\n");
    host.refresh = true;
    host.ignore = true;
    host.cut = true;
    ASSERT_TRUE(session.Run());

    EXPECT_EQ(comm.openedPaths, std::vector<std::string>{"\\\\.\\COM3"});
    EXPECT_EQ(target.codes, (std::vector<std::string>{"-1", "5901234123", "0000000000", "-2"}));
    EXPECT_FALSE(target.foreignMessage);
    EXPECT_EQ(host.messages, std::vector<std::string>{Summary(2, 1)});
    EXPECT_EQ(host.captions,
              (std::vector<std::string>{"Wprowadzono 1 szt.", "Wprowadzono 2 szt.", "Brenvik"}));
    EXPECT_FALSE(port.IsOpen());
    EXPECT_EQ(port.BaudIndex, TSerialPort32::kBaud9600);
    EXPECT_EQ(host.runningChanges, (std::vector<bool>{true, false}));
    // Wake sequence on the wire: attention, wake byte, attention, two requests,
    // one acknowledgement per data line.
    EXPECT_EQ(comm.written, std::string("\x07" "2Q\x0f\x07" "2QGETD\rGETD\rACK\rACK\rACK\r"));
    EXPECT_EQ(comm.escapes, (std::vector<std::uint32_t>{6, 4, 5, 3}));
    // Opened at the stored speed, primed at 38400, switched to 9600 once.
    ASSERT_EQ(comm.applied.size(), 3u);
    EXPECT_EQ(comm.applied[1].BaudRate, 38400u);
    EXPECT_EQ(comm.applied[2].BaudRate, 9600u);
}

TEST_F(ImportSessionTest, NoTargetWindowLeavesThePortUntouched) {
    target.presentClass = "SomethingElse";
    Collector("code 1\n");
    ASSERT_TRUE(session.Run());
    EXPECT_EQ(target.searched, (std::vector<std::string>{"TMain865D2C3C09434DF4AFA2EDF18B0423EA",
                                                         "TMain865D2C3C09434DF4AFA2EDF18B0423EB"}));
    EXPECT_EQ(host.messages, std::vector<std::string>{LoadText(kTextTargetMissing)});
    EXPECT_TRUE(comm.openedPaths.empty());
    EXPECT_TRUE(comm.written.empty());
}

TEST_F(ImportSessionTest, SecondWindowClassIsUsedWhenTheFirstIsMissing) {
    target.presentClass = "TMain865D2C3C09434DF4AFA2EDF18B0423EB";
    Collector("code 1234567890\n");
    session.Run();
    EXPECT_EQ(target.codes, std::vector<std::string>{"1234567890"});
}

TEST_F(ImportSessionTest, CutAndIgnoreCombinations) {
    struct Case {
        bool cut, ignore;
        std::vector<std::string> fed;
        int rejected;
    };
    const Case cases[] = {
        {true, false, {"1234567890"}, 0},
        {true, true, {"1234567890"}, 0},
        {false, true, {}, 1},
        {false, false, {"12345678901"}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "cut " << c.cut << " ignore " << c.ignore);
        FakeCommApi lineComm;
        TSerialPort32 linePort{lineComm, registry};
        RecordingTarget lineTarget;
        lineTarget.clock = &lineComm;
        ScriptedHost lineHost;
        lineHost.cut = c.cut;
        lineHost.ignore = c.ignore;
        CollectorModel collector(ParseCollectorScenario("line X12345678901YZ\\x0d\n"));
        lineComm.peer = [&](const std::string& bytes) { return collector.OnReceive(bytes); };
        ImportSession lineSession{linePort, lineHost, lineTarget};
        lineSession.Run();
        EXPECT_EQ(lineTarget.codes, c.fed);
        EXPECT_EQ(lineHost.messages, std::vector<std::string>{Summary(static_cast<int>(c.fed.size()), c.rejected)});
    }
}

TEST_F(ImportSessionTest, CutKeepsTheTailOfVeryLongCodes) {
    std::string longCode(300, 'a');
    for (size_t i = 0; i < longCode.size(); ++i) longCode[i] = static_cast<char>('0' + i % 10);
    Collector("code " + longCode + "\n");
    host.cut = true;
    session.Run();
    ASSERT_EQ(target.codes.size(), 1u);
    EXPECT_EQ(target.codes[0], longCode.substr(0, 10) + longCode.substr(265));
    EXPECT_EQ(target.codes[0].size(), 45u);
}

TEST_F(ImportSessionTest, ShortLinesAndLowerCaseOverAreData) {
    Collector("line \\x0d\nline AB\\x0d\nline over\\x0d\ncode 77\n");
    session.Run();
    // "over" CR is framed like any line: its code is the characters from the
    // second one on, four fewer than the line's length.
    EXPECT_EQ(target.codes, (std::vector<std::string>{"", "", "v", "77"}));

    ScriptedHost strictHost;
    strictHost.ignore = true;
    FakeCommApi strictComm;
    TSerialPort32 strictPort{strictComm, registry};
    CollectorModel collector(ParseCollectorScenario("line \\x0d\ncode 1234567890\n"));
    strictComm.peer = [&](const std::string& bytes) { return collector.OnReceive(bytes); };
    RecordingTarget strictTarget;
    strictTarget.clock = &strictComm;
    ImportSession strictSession{strictPort, strictHost, strictTarget};
    strictSession.Run();
    EXPECT_EQ(strictTarget.codes, std::vector<std::string>{"1234567890"});
    EXPECT_EQ(strictHost.messages, std::vector<std::string>{Summary(1, 1)});
}

TEST_F(ImportSessionTest, CollectorRefusingTheRequestGetsNoClosingRefresh) {
    Collector("no-getd-reply\ncode 1234567890\n");
    host.refresh = true;
    session.Run();
    EXPECT_EQ(target.codes, std::vector<std::string>{"-1"});
    EXPECT_EQ(host.messages, std::vector<std::string>{LoadText(kTextCollectorSilent)});
    EXPECT_FALSE(port.IsOpen());
}

TEST_F(ImportSessionTest, AnyReplyToTheSecondRequestStartsTheTransfer) {
    Collector("nak-second-getd\nack-first-getd\ncode 1234567890\n");
    std::uint32_t start = comm.now;
    session.Run();
    EXPECT_GE(comm.now - start, 1000u);  // neither reply matched: both waits ran their full 500 ms
    // The unmatched wait also swallowed the first data line, which therefore
    // never got its ACK; the collector waits for it and the transfer ends empty.
    EXPECT_TRUE(target.codes.empty());
    EXPECT_EQ(host.messages, std::vector<std::string>{Summary(0, 0)});
}

TEST_F(ImportSessionTest, SilenceMidTransferEndsWithTheCountsSoFar) {
    Collector("silent-after 3\nrepeat 5 code 1234567890\n");
    host.refresh = true;
    session.Run();
    EXPECT_EQ(target.codes.size(), 5u);  // -1, three codes, -2
    EXPECT_EQ(target.codes.back(), "-2");
    EXPECT_EQ(host.messages, std::vector<std::string>{Summary(3, 0)});
}

TEST_F(ImportSessionTest, SilentCollectorEndsAfterFiftyAttemptsWithoutAMessage) {
    Collector("never-wake\ncode 1\n");
    std::uint32_t start = comm.now;
    session.Run();
    EXPECT_TRUE(host.messages.empty());
    EXPECT_TRUE(target.codes.empty());
    EXPECT_EQ(host.pumps, 50);
    EXPECT_GE(comm.now - start, 5000u);
    EXPECT_EQ(std::count(comm.written.begin(), comm.written.end(), '\x0f'), 50);
    EXPECT_FALSE(port.IsOpen());
}

TEST_F(ImportSessionTest, UnopenablePortEndsSilentlyWithoutWriting) {
    host.portName = "Not a port";
    comm.failOpen = true;  // what Windows does with the empty device name
    Collector("code 1\n");
    session.Run();
    EXPECT_EQ(comm.openedPaths, std::vector<std::string>{"\\\\.\\"});
    EXPECT_TRUE(comm.written.empty());
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(host.pumps, 50);
}

TEST_F(ImportSessionTest, BinaryBytesAreFedUnchanged) {
    Collector("code \\x00\\xff\\x0a\\xb9\\x7f\n");
    session.Run();
    ASSERT_EQ(target.codes.size(), 1u);
    EXPECT_EQ(target.codes[0], std::string("\x00\xff\x0a\xb9\x7f", 5));
}

TEST_F(ImportSessionTest, OptionsAreReadWhenUsedAndNestedRunsAreRefused) {
    Collector("code 123456789012\ncode 123456789012\n");
    host.cut = true;
    bool nestedResult = true;
    host.onPump = [&] {
        nestedResult = session.Run();
        host.codeLength = 12;  // the user changes the length while codes arrive
    };
    session.Run();
    EXPECT_FALSE(nestedResult);
    EXPECT_EQ(target.codes, (std::vector<std::string>{"1234567890", "123456789012"}));
    EXPECT_EQ(comm.openedPaths.size(), 1u);
}

TEST_F(ImportSessionTest, ExceptionsStillCloseThePort) {
    Collector("code 1234567890\n");
    host.onPump = [] { throw std::runtime_error("boom"); };
    EXPECT_THROW(session.Run(), std::runtime_error);
    EXPECT_FALSE(port.IsOpen());
    EXPECT_FALSE(session.Running());
}

}  // namespace
}  // namespace brenvik
