#include "crash/intercept/ExceptNotify.h"

#include <atomic>
#include <iterator>
#include <vector>

#include "crash/win32/Win32ContextRegisters.h"

namespace brenvik {
namespace {

// Runs the pipeline for an exception of the main thread on a thread of its
// own, so the main thread can keep its windows painted meanwhile.
class TExceptionThread {
public:
    TExceptionThread(TCrashlog& facility, const TPendingException& exception, const TExceptNotifyParams& params)
        : facility_(facility), exception_(exception), params_(params) {
        DWORD id = 0;
        handle_ = CreateThread(nullptr, 0, Run, this, CREATE_SUSPENDED, &id);
        if (!handle_) throw Exception("Cannot create the exception thread.");
        facility_.Gate.SetExceptionThread(id);
        ResumeThread(handle_);
    }
    ~TExceptionThread() {
        WaitForSingleObject(handle_, INFINITE);
        CloseHandle(handle_);
        facility_.Gate.SetExceptionThread(0);
    }
    TExceptionThread(const TExceptionThread&) = delete;
    TExceptionThread& operator=(const TExceptionThread&) = delete;

    bool Running() const { return running_; }
    bool Result() const { return result_; }

private:
    static DWORD WINAPI Run(LPVOID self) {
        auto* thread = static_cast<TExceptionThread*>(self);
        thread->result_ = InternalExceptNotify(thread->facility_, thread->exception_, thread->params_);
        thread->running_ = false;
        return 0;
    }

    TCrashlog& facility_;
    const TPendingException& exception_;
    const TExceptNotifyParams& params_;
    HANDLE handle_ = nullptr;
    std::atomic<bool> running_{true};
    bool result_ = true;
};

// Paint-class messages the main thread keeps handling while a report is
// built; typed characters and mouse clicks only beep.
constexpr UINT kPaintMessages[] = {WM_SETREDRAW, WM_PAINT,         WM_ERASEBKGND, WM_PAINTICON,
                                   WM_ICONERASEBKGND, WM_DISPLAYCHANGE, WM_NCPAINT, WM_PRINT,
                                   WM_PRINTCLIENT,    0x8002,           0x8003};
constexpr UINT kBeepMessages[] = {WM_CHAR, WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN};
constexpr int kMessagesPerPass = 11;

bool Listed(UINT message, const UINT* first, const UINT* last) { return std::find(first, last, message) != last; }

// True when a request to quit arrived; it is posted again once the report is done.
// The program's own messages (WM_USER and above) wait for the end of the
// report: another thread may be waiting for one to be handled.
bool PumpPaintMessages(std::vector<MSG>& deferred) {
    bool quit = false;
    MSG message;
    for (int i = 0; i < kMessagesPerPass && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE); ++i) {
        if (message.message == WM_QUIT) {
            quit = true;
        } else if (Listed(message.message, std::begin(kPaintMessages), std::end(kPaintMessages))) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        } else if (Listed(message.message, std::begin(kBeepMessages), std::end(kBeepMessages))) {
            MessageBeep(0);
        } else if (message.message >= WM_USER) {
            deferred.push_back(message);
        }
    }
    return quit;
}

void PostAgain(const std::vector<MSG>& deferred) {
    for (const MSG& message : deferred) {
        if (message.hwnd) PostMessageW(message.hwnd, message.message, message.wParam, message.lParam);
        else PostThreadMessageW(GetCurrentThreadId(), message.message, message.wParam, message.lParam);
    }
}

}  // namespace

TPendingException PendingFromRecord(const TRaiseRecord& record) {
    TPendingException pending;
    pending.Object = record.Language ? record.Description : DescribeSystemException(record);
    pending.Address = record.Language ? record.Address : ContextInstruction(record.Context);
    pending.Language = record.Language;
    return pending;
}

TExceptNotifyParams ParamsFromRecord(const TRaiseRecord& record) {
    TExceptNotifyParams params;
    params.Context = &record.Context;
    params.StackPointer = record.StackPointer;
    params.StackTop = record.StackTop;
    params.Stack = &record.Stack;
    return params;
}

bool ExceptNotify(TCrashlog& facility, const TPendingException& exception, TExceptNotifyParams params) {
    if (!facility.OwnOptions().Active()) return true;
    // A report made for another thread (a frozen or overflowed one) names it.
    if (params.ThreadId == 0) params.ThreadId = GetCurrentThreadId();
    if (params.StackTop == 0) params.StackTop = CurrentStackTop();
    ReadFocusedWindow(facility.MainThreadId, params.FocusClassName, params.FocusText);
    // A library's facility works inline while its loader is running its
    // start-up or shutdown: a new thread could not start before that ends.
    const bool library = CrashFacilityModule() != GetModuleHandleW(nullptr);
    const bool loaderPhase = facility.InitializationPhase || facility.FinalizationPhase;
    bool result = true;
    if (facility.IsMainThread() && !(library && loaderPhase)) {
        bool quit = false;
        std::vector<MSG> deferred;
        {
            TExceptionThread thread(facility, exception, params);
            facility.MainSlot.SetServing(true);
            while (thread.Running()) {
                facility.MainSlot.RunPending();
                quit |= PumpPaintMessages(deferred);
                Sleep(10);
            }
            facility.MainSlot.SetServing(false);
            result = thread.Result();
        }
        PostAgain(deferred);
        if (quit) PostQuitMessage(0);
    } else {
        result = InternalExceptNotify(facility, exception, params);
    }
    ClearThreadRaiseRecord();
    return result;
}

}  // namespace brenvik
