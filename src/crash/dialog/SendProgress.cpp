#include "crash/dialog/SendProgress.h"

#include <commctrl.h>

#include <atomic>
#include <cstdio>

#include "crash/dialog/CrashDialogIds.h"
#include "crash/dialog/DialogFonts.h"
#include "crash/dialog/FlatCaption.h"
#include "platform/Cp1250.h"
#include "ui/toolkit/TThread.h"

namespace brenvik {

namespace {

constexpr DWORD kMessageTimeoutMs = 5000;
constexpr DWORD kPollMs = 50;
constexpr DWORD kThreadEndTimeoutMs = 5000;
// Posted to itself on creation: handled once the dialog is shown and its loop runs.
constexpr UINT kProgressShownMessage = WM_USER + 1235;

}  // namespace

// What the sender and the dialog's thread share for one send. The thread
// keeps its own reference, so it may outlive the sender's object.
struct TSendProgressShared {
    std::atomic<HWND> Window{nullptr};
    std::atomic<bool> Ready{false};
    std::atomic<int> CurrentRecipient{0};
    std::atomic<int> RecipientCount{0};
    HANDLE Ended = nullptr;   // set when the dialog's thread is done
    std::string Caption;      // Texts[53]
    std::string MessageWord;  // Texts[54]
    bool Flat = true;
    HINSTANCE Module = nullptr;
    std::unique_ptr<TDialogFonts> Fonts;  // used on the dialog's thread only

    ~TSendProgressShared() {
        if (Ended != nullptr) CloseHandle(Ended);
    }
};

namespace {

INT_PTR HandleProgress(TSendProgressShared& shared, HWND dialog, UINT message, WPARAM wParam) {
    if (shared.Flat && shared.Fonts &&
        HandleFlatCaptionMessage(dialog, message, wParam, shared.Fonts->Caption(), shared.Caption))
        return TRUE;
    switch (message) {
        case WM_INITDIALOG:
            shared.Fonts = std::make_unique<TDialogFonts>();
            shared.Window = dialog;
            SetWindowTextW(dialog, WideFromCp1250(shared.Caption).c_str());
            SetDlgItemTextW(dialog, IDC_PROGRESS_STATUS, L"");
            SetControlFont(dialog, IDC_PROGRESS_STATUS, shared.Fonts->Message());
            SendDlgItemMessageW(dialog, IDC_PROGRESS_BAR, PBM_SETRANGE32, 0, 100);
            PostMessageW(dialog, kProgressShownMessage, 0, 0);
            return TRUE;
        case kProgressShownMessage:
            // Nothing on the dialog takes the focus by itself, and a dialog
            // of a thread without other windows is not always activated.
            SetFocus(dialog);
            return TRUE;
        case WM_SETFOCUS:
            // The dialog is up and has taken the focus: the sender may go on.
            shared.Ready = true;
            return FALSE;
        case kProgressCloseMessage:
            EndDialog(dialog, 0);
            return TRUE;
        case WM_DESTROY:
            shared.Fonts.reset();
            return FALSE;
        default:
            return FALSE;
    }
}

INT_PTR CALLBACK ProgressDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    auto* shared = reinterpret_cast<TSendProgressShared*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (shared == nullptr) return FALSE;
    try {
        return HandleProgress(*shared, dialog, message, wParam);
    } catch (...) {
        // Never let a failure leave the crash dialog through the window system.
        return FALSE;
    }
}

// Shows the progress dialog modally and ends with it; frees itself.
class TSMTPThread : public TThread {
public:
    explicit TSMTPThread(std::shared_ptr<TSendProgressShared> shared) : TThread(true), shared_(std::move(shared)) {
        FreeOnTerminate = true;
    }

protected:
    void Execute() override {
        DialogBoxParamW(shared_->Module, L"SMTP", nullptr, ProgressDialogProc, reinterpret_cast<LPARAM>(shared_.get()));
        SetEvent(shared_->Ended);
    }

private:
    std::shared_ptr<TSendProgressShared> shared_;
};

void SendTo(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, kMessageTimeoutMs, &result);
}

}  // namespace

TSendProgress::TSendProgress() : shared_(std::make_shared<TSendProgressShared>()) {}

TSendProgress::~TSendProgress() = default;

void TSendProgress::Start(const TCrashModuleOptions& options, bool interactiveProgram, HINSTANCE resourceModule,
                          DWORD readyTimeoutMs) {
    // A fresh state per send: a thread of an earlier send keeps its own.
    shared_ = std::make_shared<TSendProgressShared>();
    if (!options.ShowSendProgress() || options.SendMode() == TCrashModuleOptions::kSendNone || !interactiveProgram)
        return;
    shared_->Caption = options.GetText(53);
    shared_->MessageWord = options.GetText(54);
    shared_->Flat = options.FlatDialogLook();
    shared_->Module = resourceModule != nullptr ? resourceModule : GetModuleHandleW(nullptr);
    shared_->Ended = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (shared_->Ended == nullptr) return;

    auto* thread = new TSMTPThread(shared_);
    thread->Start();
    const ULONGLONG deadline = GetTickCount64() + readyTimeoutMs;
    while (!shared_->Ready && GetTickCount64() < deadline) {
        if (WaitForSingleObject(shared_->Ended, kPollMs) == WAIT_OBJECT_0) break;
    }
}

void TSendProgress::SetRecipient(int current, int count) {
    shared_->CurrentRecipient = current;
    shared_->RecipientCount = count;
}

void TSendProgress::SetSendStatus(const std::string& text) {
    HWND window = shared_->Window;
    if (window == nullptr) return;
    char prefix[64] = {};
    std::snprintf(prefix, sizeof prefix, " %d/%d: ", shared_->CurrentRecipient.load(), shared_->RecipientCount.load());
    const std::wstring line = WideFromCp1250(shared_->MessageWord + prefix + text);
    HWND status = GetDlgItem(window, IDC_PROGRESS_STATUS);
    if (status != nullptr) SendTo(status, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(line.c_str()));
}

void TSendProgress::SetSendProgress(int percent) {
    HWND window = shared_->Window;
    if (window == nullptr) return;
    HWND bar = GetDlgItem(window, IDC_PROGRESS_BAR);
    if (bar != nullptr) SendTo(bar, PBM_SETPOS, static_cast<WPARAM>(percent), 0);
}

void TSendProgress::Close() {
    HWND window = shared_->Window;
    if (window != nullptr) SendTo(window, kProgressCloseMessage, 0, 0);
    if (shared_->Ended != nullptr) WaitForSingleObject(shared_->Ended, kThreadEndTimeoutMs);
}

bool TSendProgress::IsOpen() const {
    HWND window = shared_->Window;
    return window != nullptr && IsWindow(window);
}

bool TSendProgress::Ready() const { return shared_->Ready; }

HWND TSendProgress::Window() const { return shared_->Window; }

}  // namespace brenvik
