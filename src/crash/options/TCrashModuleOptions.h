#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "crash/CrashStream.h"
#include "crash/options/CrashOptionsEnvironment.h"
#include "crash/options/CrashTexts.h"
#include "crash/options/TCrashFilterList.h"

namespace brenvik {

// Format version of the module data block this program writes.
inline constexpr std::uint16_t kCrashDataVersion = 454;

// Crash-report settings of one module: what a report collects, how it is
// shown, logged and mailed, and the texts of the dialogs and the report.
class TCrashModuleOptions {
public:
    // ReportFlags bits.
    static constexpr std::uint8_t kSkipDuplicates = 1;
    static constexpr std::uint8_t kAskReproduceSteps = 2;
    // SendMode values.
    static constexpr std::uint8_t kSendNone = 0, kSendMailClient = 1, kSendSmtpServer = 2, kSendSmtpDirect = 3;

    // Without an environment no module counts as the facility's own, so
    // changes are never published.
    TCrashModuleOptions(std::string moduleName, bool publishChanges, CrashOptionsEnvironment* environment = nullptr);
    virtual ~TCrashModuleOptions() = default;
    TCrashModuleOptions(const TCrashModuleOptions&) = delete;
    TCrashModuleOptions& operator=(const TCrashModuleOptions&) = delete;

    virtual void Changed() {}
    virtual void SetActive(bool value);
    virtual void SetFreezeCheck(bool value);
    // Raises EConvertError for a missing source.
    virtual void Assign(const TCrashModuleOptions* source);
    virtual void SetDefaults();
    virtual void SaveToStream(TCrashStreamWriter& stream) const;
    // Reads the layout of the given data-block version; raises
    // ECrashStreamError when the bytes end early.
    virtual void LoadFromStream(TCrashStreamReader& stream, std::uint16_t version = kCrashDataVersion);

    void BeginUpdate() { ++updateDepth_; }
    void EndUpdate();

    bool PublishChanges() const { return publishChanges_; }
    int UpdateDepth() const { return updateDepth_; }
    const std::string& ModuleName() const { return moduleName_; }
    bool Active() const { return active_; }

    const std::string& SmtpFrom() const { return smtpFrom_; }
    const std::string& SmtpServer() const { return smtpServer_; }
    const std::string& SmtpUser() const { return smtpUser_; }
    const std::string& SmtpPassword() const { return smtpPassword_; }
    std::uint16_t SmtpPort() const { return smtpPort_; }
    std::uint8_t TerminateAction() const { return terminateAction_; }
    bool FreezeCheck() const { return freezeCheck_; }
    std::int32_t FreezeTimeout() const { return freezeTimeout_; }
    const std::string& FreezeMessage() const { return freezeMessage_; }
    bool FlatDialogLook() const { return flatDialogLook_; }
    std::uint32_t LogItems() const { return logItems_; }
    bool ProjectEnabled() const { return projectEnabled_; }
    bool UseFilter() const { return useFilter_; }
    bool ShowReport() const { return showReport_; }
    bool ReportInBody() const { return reportInBody_; }
    bool AttachScreenshot() const { return attachScreenshot_; }
    bool ShowSendProgress() const { return showSendProgress_; }
    bool TerminateButtonAfterErrors() const { return terminateButtonAfterErrors_; }
    bool SaveLogFile() const { return saveLogFile_; }
    bool SendWholeLog() const { return sendWholeLog_; }
    std::uint8_t ReportFlags() const { return reportFlags_; }
    std::uint8_t DialogStartTab() const { return dialogStartTab_; }
    std::int32_t MaxLogEntries() const { return maxLogEntries_; }
    std::int32_t TerminateErrorCount() const { return terminateErrorCount_; }
    const std::string& OutputPath() const { return outputPath_; }
    const std::string& MailRecipients() const { return mailRecipients_; }
    const std::string& MailSubject() const { return mailSubject_; }
    const std::string& MailBody() const { return mailBody_; }
    std::uint8_t SendMode() const { return sendMode_; }

    void SetSmtpFrom(const std::string& value) { Store(smtpFrom_, value); }
    void SetSmtpServer(const std::string& value) { Store(smtpServer_, value); }
    void SetSmtpUser(const std::string& value) { Store(smtpUser_, value); }
    void SetSmtpPassword(const std::string& value) { Store(smtpPassword_, value); }
    void SetSmtpPort(std::uint16_t value) { Store(smtpPort_, value); }
    void SetTerminateAction(std::uint8_t value) { Store(terminateAction_, value); }
    void SetFreezeTimeout(std::int32_t value) { Store(freezeTimeout_, value); }
    void SetFreezeMessage(const std::string& value) { Store(freezeMessage_, value); }
    void SetFlatDialogLook(bool value) { Store(flatDialogLook_, value); }
    void SetLogItems(std::uint32_t value) { Store(logItems_, value); }
    void SetProjectEnabled(bool value) { Store(projectEnabled_, value); }
    void SetUseFilter(bool value) { Store(useFilter_, value); }
    void SetShowReport(bool value) { Store(showReport_, value); }
    void SetReportInBody(bool value) { Store(reportInBody_, value); }
    void SetAttachScreenshot(bool value) { Store(attachScreenshot_, value); }
    void SetShowSendProgress(bool value) { Store(showSendProgress_, value); }
    void SetTerminateButtonAfterErrors(bool value) { Store(terminateButtonAfterErrors_, value); }
    void SetSaveLogFile(bool value) { Store(saveLogFile_, value); }
    void SetSendWholeLog(bool value) { Store(sendWholeLog_, value); }
    void SetReportFlags(std::uint8_t value) { Store(reportFlags_, value); }
    void SetDialogStartTab(std::uint8_t value) { Store(dialogStartTab_, value); }
    // A log of no entries makes no sense: 0 keeps one.
    void SetMaxLogEntries(std::int32_t value) { Store(maxLogEntries_, value == 0 ? 1 : value); }
    void SetTerminateErrorCount(std::int32_t value) { Store(terminateErrorCount_, value); }
    void SetOutputPath(const std::string& value) { Store(outputPath_, value); }
    void SetMailRecipients(const std::string& value) { Store(mailRecipients_, value); }
    void SetMailSubject(const std::string& value) { Store(mailSubject_, value); }
    void SetMailBody(const std::string& value) { Store(mailBody_, value); }
    void SetSendMode(std::uint8_t value) { Store(sendMode_, value); }

    TCrashFilterList& FilterClasses() { return filterClasses_; }
    const TCrashFilterList& FilterClasses() const { return filterClasses_; }
    TCrashFilterList& FilterMessages() { return filterMessages_; }
    const TCrashFilterList& FilterMessages() const { return filterMessages_; }

    const std::string& GetText(int index) const { return texts_.at(static_cast<std::size_t>(index)); }
    void SetText(int index, const std::string& value) { Store(texts_.at(static_cast<std::size_t>(index)), value); }

    // Log file name for a module file: OutputPath when it names a ".clog"
    // file, else the default file's name inside OutputPath or its own folder.
    std::string OutputFile(const std::string& defaultFileName) const;
    // The log file of this module: its file name with the extension ".clog".
    std::string OutputLogFile() const;

protected:
    CrashOptionsEnvironment* Environment() const { return environment_; }
    void StoreActive(bool value) { active_ = value; }
    void StoreFreezeCheck(bool value) { freezeCheck_ = value; }
    void ChangeCheck();

private:
    template <class T, class V>
    void Store(T& field, const V& value) {
        field = value;
        ChangeCheck();
    }

    CrashOptionsEnvironment* environment_;
    bool publishChanges_;
    int updateDepth_ = 0;
    std::string smtpFrom_, smtpServer_, smtpUser_, smtpPassword_;
    std::uint16_t smtpPort_ = 25;
    std::uint8_t terminateAction_ = 1;
    bool freezeCheck_ = false;
    std::int32_t freezeTimeout_ = 60;
    std::string freezeMessage_;
    bool flatDialogLook_ = true;
    std::string moduleName_;
    std::uint32_t logItems_ = 0xFFFFFFFF;
    TCrashFilterList filterClasses_, filterMessages_;
    std::array<std::string, kCrashTextCount> texts_;
    bool projectEnabled_ = true, useFilter_ = true, showReport_ = true, reportInBody_ = false;
    bool attachScreenshot_ = false, showSendProgress_ = true, terminateButtonAfterErrors_ = true;
    bool saveLogFile_ = true, sendWholeLog_ = false;
    std::uint8_t reportFlags_ = 0, dialogStartTab_ = 0;
    std::int32_t maxLogEntries_ = 32, terminateErrorCount_ = 3;
    std::string outputPath_, mailRecipients_, mailSubject_, mailBody_;
    std::uint8_t sendMode_ = kSendNone;
    bool active_ = true;
};

// The options class the process uses: changes are published to the other
// modules, and the own module's options switch the freeze watchdog.
class TCrashModuleOptionsEx : public TCrashModuleOptions {
public:
    using TCrashModuleOptions::TCrashModuleOptions;

    void Changed() override;
    void SetActive(bool value) override;
    void SetFreezeCheck(bool value) override;
};

// Holds back change notification for a scope; ends it also when a step throws.
class TCrashOptionsUpdate {
public:
    explicit TCrashOptionsUpdate(TCrashModuleOptions& options) : options_(options) { options_.BeginUpdate(); }
    ~TCrashOptionsUpdate() { options_.EndUpdate(); }
    TCrashOptionsUpdate(const TCrashOptionsUpdate&) = delete;
    TCrashOptionsUpdate& operator=(const TCrashOptionsUpdate&) = delete;

private:
    TCrashModuleOptions& options_;
};

}  // namespace brenvik
