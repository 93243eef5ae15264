// The report pipeline: from a captured exception to the report shown,
// logged, copied and mailed, and the program ended when the user asked.
#include <windows.h>

#include "crash/intercept/ExceptNotify.h"
#include "crash/intercept/ProgramEnd.h"
#include "crash/report/CrashLogWriter.h"
#include "crash/stack/CallStackScan.h"
#include "platform/Cp1250.h"
#include "crash/win32/Win32Clipboard.h"
#include "crash/win32/Win32ContextRegisters.h"

namespace brenvik {
namespace {

constexpr UINT kFilterBoxFlags = 0x00242040;  // information icon, task-modal, topmost, service notification
constexpr UINT kFallbackBoxFlags = MB_OK | MB_ICONERROR | MB_TASKMODAL | MB_TOPMOST;

std::string TemporaryFile(const char* name) {
    char folder[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathA(MAX_PATH + 1, folder);
    return std::string(folder, length <= MAX_PATH ? length : 0) + name;
}

class TReportPipeline {
public:
    TReportPipeline(TCrashlog& facility, const TPendingException& exception, const TExceptNotifyParams& params)
        : facility_(facility), exception_(exception), params_(params) {}

    bool Run() {
        try {
            stage_ = 1;
            Prepare();
            stage_ = 2;
            if (Filtered()) {
                result_ = false;
            } else {
                Report();
            }
            stage_ = 17;
            stack_.clear();
            stage_ = 18;
            if (facility_.TerminateRequested) {
                stage_ = 19;
                Action(caBeforeTerminate);
                EndProgram(options_->TerminateAction() == 1, facility_.StartDirectory);
            }
        } catch (...) {
            facility_.Failures.InternalError("InternalExceptNotify." + std::to_string(stage_),
                                             DescribeFailure(std::current_exception()));
        }
        return result_;
    }

private:
    // The options of the module that raised, when it carries debug
    // information, else the facility's own.
    void Prepare() {
        facility_.Trace.Save();
        time_ = facility_.System.Now();
        address_ = exception_.Language ? exception_.Address - 5 : exception_.Address;
        TCrashModuleInfo* module = const_cast<TCrashModuleInfo*>(facility_.Modules->ModuleAt(address_));
        raisingModule_ = module ? module->FileName : std::string();
        if (!module || !module->DebugInfo)
            module = const_cast<TCrashModuleInfo*>(facility_.Modules->ByHandle(CrashFacilityModule()));
        options_ = std::make_unique<TCrashModuleOptions>(module->FileName, false);
        options_->Assign(module->Options.get());
        choices_.Send = options_->SendMode() != TCrashModuleOptions::kSendNone;
        choices_.Screenshot = options_->AttachScreenshot();
    }

    bool Filtered() {
        if (!options_->UseFilter()) return false;
        const TCrashFilterList& classes = options_->FilterClasses();
        for (int i = 0; i < classes.Count(); ++i) {
            if (!ClassMatchesFilter(exception_.Object, classes[i])) continue;
            const std::string message = options_->FilterMessages().ItemOrEmpty(i);
            if (!message.empty())
                MessageBoxW(nullptr, WideFromCp1250(message).c_str(), WideFromCp1250(options_->GetText(0)).c_str(),
                            kFilterBoxFlags);
            return true;
        }
        return false;
    }

    void Report() {
        stage_ = 3;
        const TStackSnapshot noSnapshot;
        const SnapshotMemory memory(params_.Stack ? *params_.Stack : noSnapshot, facility_.Memory);
        stage_ = 4;
        stack_ = BuildCallStack(memory, *facility_.Modules, address_, params_.StackPointer, params_.StackTop);
        stage_ = 5;
        AppendCreatorStack();
        stage_ = 6;
        DropRepeatedFirstEntry();
        stage_ = 7;
        bool handled = true;
        facility_.Modules->Refresh();
        parts_ = BuildCrashReport(ExceptionInfo(), Registers(), stack_, facility_.Modules->Modules(), *options_,
                                  facility_.System, memory, facility_.ReportHost);
        record_ = {&exception_.Object, address_, params_.ThreadId, parts_.ReportText,
                   &facility_.Modules->Modules(), &stack_, options_.get()};
        duplicate_ = IsDuplicateError(*options_, parts_.General);
        facility_.Failures.ResetLastError();
        if (facility_.Notifications.Exception)
            facility_.MainSlot.Run([&] { facility_.Notifications.Exception(record_, handled); });
        stage_ = 8;
        if (!handled) return;
        result_ = false;
        stage_ = 9;
        const int errorCount = ++facility_.ErrorCount;
        stage_ = 10;
        const std::string screenshot = TemporaryFile("Screenshot.png");
        if (options_->AttachScreenshot() && facility_.Steps.WriteScreenshot) facility_.Steps.WriteScreenshot(screenshot);
        TReportStepContext context{record_,    parts_,     *options_,
                                   facility_.Failures, duplicate_, errorCount,
                                   {},         [this](int action) { return Action(action); },
                                   [this](int action) { return ActionError(action); }};
        // A web server may end the program as soon as it has the whole page,
        // so there the report is logged before the page goes out.
        const bool logFirst = IsWebHost(Host());
        if (logFirst) WriteLog(context);
        stage_ = 11;
        if (options_->ShowReport()) {
            stage_ = 12;
            if (Action(caBeforeShow)) {
                stage_ = 13;
                Show(context);
            }
            stage_ = 14;
            Action(caAfterShow);
        }
        stage_ = 15;
        if (!logFirst) {
            if (facility_.Steps.AskReproduceSteps) context.ReproduceSteps = facility_.Steps.AskReproduceSteps(context);
            WriteLog(context);
        }
        if (choices_.Copy) CopyReportToClipboard(parts_.ReportText);
        stage_ = 16;
        if (options_->SendMode() != TCrashModuleOptions::kSendNone && !duplicate_ && choices_.Send &&
            facility_.Steps.SendReportMail)
            facility_.Steps.SendReportMail(context, choices_.Screenshot ? screenshot : std::string());
        DeleteFileA(screenshot.c_str());
    }

    TReportHost Host() const { return {facility_.WebSystem, facility_.WebPage, facility_.IntraWeb, params_.ThreadId}; }

    void WriteLog(const TReportStepContext& context) {
        if (options_->SaveLogFile())
            WriteCrashLog(parts_, *options_, duplicate_, context.ReproduceSteps, LogNotifications(), facility_.Failures);
    }

    // A thread's report goes on with its creator's stack at the moment the
    // thread was let run.
    void AppendCreatorStack() {
        if (params_.ThreadId == facility_.Gate.ExceptionThread()) return;
        const TStackSnapshot creator = facility_.Threads.CreatorStackOf(params_.ThreadId);
        if (creator.Empty()) return;
        const SnapshotMemory memory(creator, facility_.Memory);
        TCrashStackList more = BuildCallStack(memory, *facility_.Modules, std::nullopt, creator.Base, creator.End());
        stack_.insert(stack_.end(), std::make_move_iterator(more.begin()), std::make_move_iterator(more.end()));
    }

    void DropRepeatedFirstEntry() {
        if (stack_.size() < 2) return;
        bool repeated = stack_[0].Address == stack_[1].Address;
        for (std::size_t i = 2; exception_.Language && !repeated && i < stack_.size(); ++i)
            repeated = stack_[i].Address == stack_[0].Address;
        if (repeated) stack_.erase(stack_.begin());
    }

    TCrashExceptionInfo ExceptionInfo() const {
        TCrashExceptionInfo info;
        info.Address = address_;
        info.ModuleFileName = raisingModule_;
        info.ClassName = exception_.Object.ClassName;
        info.Message = exception_.Object.Message;
        info.FocusClassName = params_.FocusClassName;
        info.FocusText = params_.FocusText;
        info.Time = time_;
        return info;
    }

    std::optional<TCrashRegisters> Registers() const {
        if (!params_.Context) return std::nullopt;
        return RegistersFromContext(*params_.Context);
    }

    void Show(TReportStepContext& context) {
        if (ShowReportOnHost(Host(), options_->GetText(2), options_->GetText(3), parts_.ReportText, facility_.Failures) !=
            TReportShown::NeedsDialog)
            return;
        if (facility_.Steps.ShowExceptionDialog) {
            bool terminate = false;
            facility_.Steps.ShowExceptionDialog(context, choices_, terminate);
            if (terminate) facility_.TerminateRequested = true;
            return;
        }
        if (MessageBoxW(nullptr, WideFromCp1250(parts_.ErrorMessageText).c_str(),
                        WideFromCp1250(options_->GetText(2)).c_str(), kFallbackBoxFlags) == 0) {
            TCrashFailure failure;
            failure.Message = "Cannot show the message box.";
            facility_.Failures.StepFailed(eeShowError, "GUI", failure);
        }
    }

    // Handlers run on the main thread when it waits for this report.
    bool Action(int action) {
        bool proceed = true;
        if (facility_.Notifications.Action)
            facility_.MainSlot.Run([&] { facility_.Notifications.Action(record_, action, proceed); });
        return proceed;
    }

    bool ActionError(int action) {
        bool retry = false;
        if (facility_.Notifications.ActionError)
            facility_.MainSlot.Run([&] { facility_.Notifications.ActionError(record_, action, retry); });
        return retry;
    }

    TCrashLogNotifications LogNotifications() {
        TCrashLogNotifications notifications;
        if (facility_.Notifications.Action)
            notifications.Action = [this](int action, bool& proceed) {
                facility_.MainSlot.Run([&] { facility_.Notifications.Action(record_, action, proceed); });
            };
        if (facility_.Notifications.ActionError)
            notifications.ActionError = [this](int action, bool& retry) {
                facility_.MainSlot.Run([&] { facility_.Notifications.ActionError(record_, action, retry); });
            };
        return notifications;
    }

    TCrashlog& facility_;
    const TPendingException& exception_;
    const TExceptNotifyParams& params_;
    int stage_ = 0;
    bool result_ = true;
    TCrashDateTime time_{};
    CrashAddress address_ = 0;
    std::string raisingModule_;
    std::unique_ptr<TCrashModuleOptions> options_;
    TReportChoices choices_;
    TCrashStackList stack_;
    TCrashReportParts parts_;
    TCrashExceptionRecord record_;
    bool duplicate_ = false;
};

}  // namespace

bool InternalExceptNotify(TCrashlog& facility, const TPendingException& exception, const TExceptNotifyParams& params) {
    return TReportPipeline(facility, exception, params).Run();
}

}  // namespace brenvik
