#include "crash/options/TCrashModuleOptions.h"

#include <algorithm>
#include <cctype>

#include "base/Exception.h"

namespace brenvik {
namespace {

const char kDefaultSmtpFrom[] = "crash-report@brenvik.invalid";
const char kDefaultFreezeMessage[] = "The application seems to be frozen.";

// Windows file-name parts: the folder ends at the last backslash or drive colon.
std::size_t NameStart(const std::string& fileName) {
    std::size_t delimiter = fileName.find_last_of("\\:");
    return delimiter == std::string::npos ? 0 : delimiter + 1;
}

std::string FolderPart(const std::string& fileName) { return fileName.substr(0, NameStart(fileName)); }
std::string NamePart(const std::string& fileName) { return fileName.substr(NameStart(fileName)); }

std::size_t ExtensionStart(const std::string& fileName) {
    std::size_t dot = fileName.rfind('.');
    return dot == std::string::npos || dot < NameStart(fileName) ? fileName.size() : dot;
}

std::string LowerAscii(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

}  // namespace

TCrashModuleOptions::TCrashModuleOptions(std::string moduleName, bool publishChanges,
                                         CrashOptionsEnvironment* environment)
    : environment_(environment), publishChanges_(publishChanges), moduleName_(std::move(moduleName)) {
    filterClasses_.OnChange = [this] { ChangeCheck(); };
    filterMessages_.OnChange = [this] { ChangeCheck(); };
    SetDefaults();
    updateDepth_ = 0;
}

void TCrashModuleOptions::EndUpdate() {
    --updateDepth_;
    ChangeCheck();
}

void TCrashModuleOptions::ChangeCheck() {
    if (updateDepth_ <= 0 && publishChanges_ && environment_ && environment_->IsOwnModule(moduleName_)) Changed();
}

void TCrashModuleOptions::SetActive(bool value) { Store(active_, value); }

void TCrashModuleOptions::SetFreezeCheck(bool value) { Store(freezeCheck_, value); }

void TCrashModuleOptions::SetDefaults() {
    TCrashOptionsUpdate update(*this);
    const auto& texts = DefaultCrashTexts();
    for (int i = 0; i < kCrashTextCount; ++i) SetText(i, texts[static_cast<std::size_t>(i)]);
    Store(freezeCheck_, false);
    SetFreezeTimeout(60);
    SetFreezeMessage(kDefaultFreezeMessage);
    SetSmtpFrom(kDefaultSmtpFrom);
    SetSmtpServer("");
    SetSmtpPort(25);
    SetSmtpUser("");
    SetSmtpPassword("");
    SetShowSendProgress(true);
    SetProjectEnabled(true);
    SetSaveLogFile(true);
    SetDialogStartTab(0);
    SetFlatDialogLook(true);
    SetUseFilter(true);
    SetShowReport(true);
    SetReportInBody(false);
    SetSendWholeLog(false);
    SetAttachScreenshot(false);
    SetTerminateButtonAfterErrors(true);
    SetTerminateAction(1);
    SetReportFlags(0);
    SetLogItems(0xFFFFFFFF);
    SetMaxLogEntries(32);
    SetTerminateErrorCount(3);
    SetOutputPath("");
    SetMailRecipients("");
    SetMailSubject("");
    SetMailBody("");
    SetSendMode(kSendNone);
    Store(active_, true);
}

void TCrashModuleOptions::Assign(const TCrashModuleOptions* source) {
    if (!source) throw EConvertError("Impossible to assign nil as TCrashModuleOptions.");
    if (source == this) return;
    TCrashOptionsUpdate update(*this);
    filterClasses_.Assign(source->filterClasses_);
    filterMessages_.Assign(source->filterMessages_);
    for (int i = 0; i < kCrashTextCount; ++i) SetText(i, source->GetText(i));
    SetProjectEnabled(source->projectEnabled_);
    SetSaveLogFile(source->saveLogFile_);
    SetFlatDialogLook(source->flatDialogLook_);
    SetFreezeCheck(source->freezeCheck_);
    SetFreezeTimeout(source->freezeTimeout_);
    SetFreezeMessage(source->freezeMessage_);
    SetSmtpFrom(source->smtpFrom_);
    SetSmtpServer(source->smtpServer_);
    SetSmtpPort(source->smtpPort_);
    SetSmtpUser(source->smtpUser_);
    SetSmtpPassword(source->smtpPassword_);
    SetShowSendProgress(source->showSendProgress_);
    SetDialogStartTab(source->dialogStartTab_);
    SetUseFilter(source->useFilter_);
    SetShowReport(source->showReport_);
    SetReportInBody(source->reportInBody_);
    SetSendWholeLog(source->sendWholeLog_);
    SetAttachScreenshot(source->attachScreenshot_);
    SetTerminateButtonAfterErrors(source->terminateButtonAfterErrors_);
    SetTerminateAction(source->terminateAction_);
    SetReportFlags(source->reportFlags_);
    SetMaxLogEntries(source->maxLogEntries_);
    SetTerminateErrorCount(source->terminateErrorCount_);
    SetOutputPath(source->outputPath_);
    SetMailRecipients(source->mailRecipients_);
    SetMailSubject(source->mailSubject_);
    SetMailBody(source->mailBody_);
    SetSendMode(source->sendMode_);
    SetLogItems(source->logItems_);
}

std::string TCrashModuleOptions::OutputFile(const std::string& defaultFileName) const {
    if (LowerAscii(outputPath_.substr(ExtensionStart(outputPath_))) == ".clog") return outputPath_;
    std::string folder = outputPath_.empty() ? FolderPart(defaultFileName) : outputPath_;
    if (folder.empty() || folder.back() != '\\') folder += '\\';
    return folder + NamePart(defaultFileName);
}

std::string TCrashModuleOptions::OutputLogFile() const {
    return OutputFile(moduleName_.substr(0, ExtensionStart(moduleName_)) + ".clog");
}

void TCrashModuleOptionsEx::Changed() {
    TCrashModuleOptions::Changed();
    if (!Environment()) return;
    TCrashStreamWriter block;
    block.WriteByte(1);
    SaveToStream(block);
    Environment()->PublishOptions(block.Bytes());
}

void TCrashModuleOptionsEx::SetActive(bool value) {
    if (!Environment() || !Environment()->IsOwnModuleOptions(*this)) {
        StoreActive(value);
        return;
    }
    if (value == Active()) return;
    StoreActive(value);
    Environment()->RunFreezeWatchdog(value && FreezeCheck());
}

void TCrashModuleOptionsEx::SetFreezeCheck(bool value) {
    if (!Environment() || !Environment()->IsOwnModuleOptions(*this)) {
        StoreFreezeCheck(value);
        return;
    }
    if (value == FreezeCheck()) return;
    StoreFreezeCheck(value);
    Environment()->RunFreezeWatchdog(value && Active());
}

}  // namespace brenvik
