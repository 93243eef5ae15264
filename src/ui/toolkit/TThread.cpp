#include "ui/toolkit/TThread.h"

#include "base/Exception.h"
#include "ui/toolkit/TApplication.h"

namespace brenvik {
namespace {

struct SynchronizeRequest {
    const std::function<void()>* call;
    std::exception_ptr error;
    HANDLE done;
};

// Static initialisation runs on the thread that starts the program.
const DWORD kMainThreadId = GetCurrentThreadId();

}  // namespace

TThread::TThread(bool createSuspended) {
    handle_ = CreateThread(nullptr, 0, ThreadProc, this, CREATE_SUSPENDED, nullptr);
    if (!handle_) throw Exception("Thread creation error");
    if (!createSuspended) Start();
}

TThread::~TThread() {
    if (handle_) CloseHandle(handle_);
}

void TThread::Start() { ResumeThread(handle_); }

DWORD TThread::WaitFor() {
    WaitForSingleObject(handle_, INFINITE);
    DWORD code = 0;
    GetExitCodeThread(handle_, &code);
    return code;
}

DWORD WINAPI TThread::ThreadProc(LPVOID self) {
    auto* thread = static_cast<TThread*>(self);
    DWORD exitCode = 0;
    try {
        thread->Execute();
    } catch (...) {
        TApplication::Instance().HandleException(std::current_exception());
        exitCode = 1;
    }
    if (thread->FreeOnTerminate) delete thread;
    return exitCode;
}

void TThread::Synchronize(const std::function<void()>& call) {
    if (GetCurrentThreadId() == kMainThreadId) {
        call();
        return;
    }
    SynchronizeRequest request{&call, nullptr, CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    PostMessageW(TApplication::Instance().Handle(), kSynchronizeMessage, 0, reinterpret_cast<LPARAM>(&request));
    WaitForSingleObject(request.done, INFINITE);
    CloseHandle(request.done);
    if (request.error) std::rethrow_exception(request.error);
}

void TThread::RunPendingCall(LPARAM parameter) {
    auto* request = reinterpret_cast<SynchronizeRequest*>(parameter);
    try {
        (*request->call)();
    } catch (...) {
        request->error = std::current_exception();
    }
    SetEvent(request->done);
}

}  // namespace brenvik
