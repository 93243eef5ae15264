#pragma once
#include <windows.h>

#include <memory>
#include <string>

#include "crash/options/TCrashModuleOptions.h"

namespace brenvik {

// The private message that ends the progress dialog (2258).
inline constexpr UINT kProgressCloseMessage = WM_USER + 1234;

struct TSendProgressShared;

// The SMTP progress dialog as the mail sender sees it. The dialog runs its
// own modal loop on a TSMTPThread; the sender updates it by messages from
// its own thread. Every call is harmless when no dialog is shown.
class TSendProgress {
public:
    TSendProgress();
    ~TSendProgress();
    TSendProgress(const TSendProgress&) = delete;
    TSendProgress& operator=(const TSendProgress&) = delete;

    // Forgets the previous send. With ShowSendProgress on, SendMode not 0 and
    // an interactive windowed program, shows the dialog and waits, polling
    // every 50 ms, until it has the focus; the wait ends early when the
    // dialog's thread ended without one and never lasts beyond readyTimeoutMs.
    void Start(const TCrashModuleOptions& options, bool interactiveProgram, HINSTANCE resourceModule = nullptr,
               DWORD readyTimeoutMs = 10000);

    // The recipient being served, from 1, and how many there are.
    void SetRecipient(int current, int count);
    // Status line: "<Texts[54]> <current>/<count>: " followed by the text.
    void SetSendStatus(const std::string& text);
    void SetSendProgress(int percent);
    // Sends message 2258 and waits a bounded time for the dialog's thread to end.
    void Close();

    // A progress dialog exists: SMTP errors are then shown in a message box too.
    bool IsOpen() const;
    bool Ready() const;
    HWND Window() const;

private:
    std::shared_ptr<TSendProgressShared> shared_;
};

}  // namespace brenvik
