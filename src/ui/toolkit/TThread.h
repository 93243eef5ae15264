#pragma once
#include <windows.h>

#include <exception>
#include <functional>

namespace brenvik {

// A worker thread. Execute runs on the new thread; an exception escaping it
// goes to the application's central handler. Synchronize hands a call to the
// user-interface thread and waits until it has run there.
class TThread {
public:
    explicit TThread(bool createSuspended);
    TThread(const TThread&) = delete;
    TThread& operator=(const TThread&) = delete;
    virtual ~TThread();

    void Start();
    void Terminate() { terminated_ = true; }
    bool Terminated() const { return terminated_; }
    // Waits for the end of Execute; returns the thread's exit code.
    DWORD WaitFor();
    // The thread object deletes itself when Execute is over.
    bool FreeOnTerminate = false;

    // Runs call on the user-interface thread (directly when already on it)
    // and rethrows here what it raised there.
    static void Synchronize(const std::function<void()>& call);
    // Pending synchronized calls; the application runs this from its window.
    static void RunPendingCall(LPARAM request);
    static constexpr UINT kSynchronizeMessage = WM_APP + 0x100;

protected:
    virtual void Execute() = 0;

private:
    static DWORD WINAPI ThreadProc(LPVOID self);
    HANDLE handle_ = nullptr;
    volatile bool terminated_ = false;
};

}  // namespace brenvik
