#pragma once
#include <cstdint>
#include <string>

#include "app/ImportJournal.h"
#include "serial/SerialPort32.h"

namespace brenvik {

// What the import needs of the window it runs in. Options are read at the
// moment each is used: the user may change them while the import pumps messages.
class ImportHost {
public:
    virtual ~ImportHost() = default;
    virtual std::string PortDisplayName() = 0;
    virtual bool RefreshOption() = 0;
    virtual bool CutOption() = 0;
    virtual bool IgnoreOption() = 0;
    virtual int CodeLength() = 0;
    // Modal information box (Windows-1250 text); returns when the user closed it.
    virtual void ShowInformation(const std::string& text) = 0;
    virtual void SetCaption(const std::string& text) = 0;
    // Handles every queued window message, then returns.
    virtual void ProcessMessages() = 0;
    virtual void ImportRunningChanged(bool running) = 0;
    // A new journal for this import; none when it could not be created.
    virtual std::unique_ptr<JournalFile> OpenJournal() = 0;
    // Said once per import when its journal cannot be written.
    virtual void ReportJournalFailure(const std::string& message) = 0;
};

// The target program's window, reached through the window manager.
class TargetWindowApi {
public:
    using WindowHandle = std::uintptr_t;
    virtual ~TargetWindowApi() = default;
    // A top-level window of this class, whatever its title; 0 when none.
    virtual WindowHandle FindByClass(const std::string& className) = 0;
    // Sent synchronously: returns after the window has handled it; false when
    // it never did (the window is gone, or stopped answering).
    virtual bool Send(WindowHandle window, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) = 0;
    // False once the window is gone (its program closed or crashed).
    virtual bool Exists(WindowHandle window) = 0;
    virtual void Sleep(std::uint32_t milliseconds) = 0;
};

// One run of the Import command: wake the collector, download its codes and
// type them into the target window.
class ImportSession {
public:
    static constexpr std::uint32_t kKeyMessage = 0x0400 + 10;  // WM_USER + 10

    ImportSession(TSerialPort32& port, ImportHost& host, TargetWindowApi& target);

    // Returns false without doing anything when an import is already running:
    // a nested run on the same port would tear the transfer apart.
    bool Run();
    // False when the code did not arrive whole.
    bool FeedCode(const std::string& code);
    bool Running() const { return running_; }

private:
    void Transfer();
    // The target went away: the transfer stops where it is and the user
    // learns how far it came; the collector keeps what it did not deliver.
    void StopForVanishedTarget(int typedIn);
    bool WakeCollector();
    // The code inside the collector's framing, then as the options shorten it.
    static std::string FramedCode(const std::string& line);
    std::string CutCode(std::string code) const;

    TSerialPort32& port_;
    ImportHost& host_;
    TargetWindowApi& target_;
    TargetWindowApi::WindowHandle window_ = 0;
    bool running_ = false;
};

}  // namespace brenvik
