// The stored form of the options and the rules that read the layouts of
// older data-block versions.
#include <algorithm>

#include "crash/options/TCrashModuleOptions.h"

namespace brenvik {
namespace {

// A text whose first CR LF ends it is stored without that CR LF.
std::string_view WithoutClosingLineBreak(std::string_view text) {
    std::size_t first = text.find("\r\n");
    return first != std::string_view::npos && first + 2 == text.size() ? text.substr(0, first) : text;
}

void WriteText(TCrashStreamWriter& stream, std::string_view text) {
    stream.WriteLongString(WithoutClosingLineBreak(text));
}

// Texts that streams older than the given version did not carry yet.
bool TextStoredInVersion(int index, std::uint16_t version) {
    if (index == 15 && version < 420) return false;
    if (index == 14 && version <= 420) return false;
    if (version < 450) {
        const bool addedIn450 = (index >= 8 && index <= 11) || (index >= 16 && index <= 18) || index == 23 ||
                                index == 37 || index == 45 || index == 47 || index == 48 || index > 52;
        if (addedIn450) return false;
    }
    return true;
}

}  // namespace

void TCrashModuleOptions::SaveToStream(TCrashStreamWriter& stream) const {
    stream.WriteBool(projectEnabled_);
    stream.WriteBool(useFilter_);
    stream.WriteByte(reportFlags_);
    stream.WriteBool(showReport_);
    stream.WriteBool(reportInBody_);
    stream.WriteBool(sendWholeLog_);
    stream.WriteBool(attachScreenshot_);
    stream.WriteBool(showSendProgress_);
    stream.WriteBool(saveLogFile_);
    stream.WriteByte(dialogStartTab_);
    stream.WriteBool(flatDialogLook_);
    stream.WriteBool(freezeCheck_);
    stream.WriteInt32(freezeTimeout_);
    WriteText(stream, freezeMessage_);
    WriteText(stream, smtpFrom_);
    WriteText(stream, smtpServer_);
    stream.WriteUInt16(smtpPort_);
    WriteText(stream, smtpUser_);
    WriteText(stream, smtpPassword_);
    stream.WriteByte(terminateAction_);
    stream.WriteBool(terminateButtonAfterErrors_);
    stream.WriteInt32(maxLogEntries_);
    stream.WriteInt32(terminateErrorCount_);
    WriteText(stream, mailRecipients_);
    WriteText(stream, mailSubject_);
    stream.WriteByte(sendMode_);
    stream.WriteUInt32(logItems_);
    WriteText(stream, outputPath_);
    const int pairs = std::max(filterClasses_.Count(), filterMessages_.Count());
    stream.WriteInt32(pairs);
    for (int i = 0; i < pairs; ++i) {
        WriteText(stream, filterClasses_.ItemOrEmpty(i));
        WriteText(stream, filterMessages_.ItemOrEmpty(i));
    }
    WriteText(stream, mailBody_);
    for (const std::string& text : texts_) WriteText(stream, text);
}

void TCrashModuleOptions::LoadFromStream(TCrashStreamReader& stream, std::uint16_t version) {
    TCrashOptionsUpdate update(*this);
    SetProjectEnabled(stream.ReadBool());
    SetUseFilter(stream.ReadBool());
    SetReportFlags(stream.ReadByte());
    // Before 450 the flag was stored as "hide the report".
    SetShowReport(stream.ReadBool() != (version < 450));
    SetReportInBody(stream.ReadBool());
    if (version >= 450) {
        SetSendWholeLog(stream.ReadBool());
        SetAttachScreenshot(stream.ReadBool());
        SetShowSendProgress(stream.ReadBool());
    }
    if (version > 400) {
        SetSaveLogFile(stream.ReadBool());
        SetDialogStartTab(stream.ReadByte());
    }
    if (version > 402) SetFlatDialogLook(stream.ReadBool());
    if (version >= 420) {
        SetFreezeCheck(stream.ReadBool());
        std::int32_t timeout = stream.ReadInt32();
        SetFreezeTimeout(version < 422 ? timeout / 1000 : timeout);  // milliseconds before 422
        SetFreezeMessage(stream.ReadLongString());
    }
    if (version >= 450) SetSmtpFrom(stream.ReadLongString());
    SetSmtpServer(stream.ReadLongString());
    if (version >= 450) SetSmtpPort(stream.ReadUInt16());
    if (version > 420) {
        SetSmtpUser(stream.ReadLongString());
        SetSmtpPassword(stream.ReadLongString());
        SetTerminateAction(stream.ReadByte());
    }
    SetTerminateButtonAfterErrors(stream.ReadBool());
    SetMaxLogEntries(stream.ReadInt32());
    SetTerminateErrorCount(stream.ReadInt32());
    SetMailRecipients(stream.ReadLongString());
    SetMailSubject(stream.ReadLongString());
    SetSendMode(stream.ReadByte());
    // Before 450 any mail mode meant SMTP when a server was given.
    if (version < 450 && sendMode_ != kSendNone) SetSendMode(smtpServer_.empty() ? kSendMailClient : kSendSmtpServer);
    SetLogItems(stream.ReadUInt32());
    if (version < 450) stream.ReadByte();
    SetOutputPath(stream.ReadLongString());
    filterClasses_.Clear();
    filterMessages_.Clear();
    const std::int32_t pairs = stream.ReadInt32();
    if (pairs < 0) throw ECrashStreamError("Crash options hold a negative filter count");
    for (std::int32_t i = 0; i < pairs; ++i) {
        filterClasses_.Add(stream.ReadLongString());
        filterMessages_.Add(stream.ReadLongString());
    }
    SetMailBody(stream.ReadLongString());
    for (int i = 0; i < kCrashTextCount; ++i)
        if (TextStoredInVersion(i, version)) SetText(i, stream.ReadLongString());
}

}  // namespace brenvik
