#pragma once
#include <algorithm>
#include <string>
#include <vector>

#include "crash/options/TCrashModuleOptions.h"

namespace brenvik {

// The options as the current version stores them.
inline std::string Saved(const TCrashModuleOptions& options) {
    TCrashStreamWriter stream;
    options.SaveToStream(stream);
    return stream.TakeBytes();
}

// Writes a stream in the layout an older data-block version had, from the
// values of the given options, with the one stored flag that older versions
// kept inverted and the extra byte after LogItems.
inline std::string LegacyStream(const TCrashModuleOptions& o, std::uint16_t v, std::int32_t storedFreezeTimeout) {
    TCrashStreamWriter s;
    s.WriteBool(o.ProjectEnabled());
    s.WriteBool(o.UseFilter());
    s.WriteByte(o.ReportFlags());
    s.WriteBool(v < 450 ? !o.ShowReport() : o.ShowReport());
    s.WriteBool(o.ReportInBody());
    if (v >= 450) {
        s.WriteBool(o.SendWholeLog());
        s.WriteBool(o.AttachScreenshot());
        s.WriteBool(o.ShowSendProgress());
    }
    if (v > 400) {
        s.WriteBool(o.SaveLogFile());
        s.WriteByte(o.DialogStartTab());
    }
    if (v > 402) s.WriteBool(o.FlatDialogLook());
    if (v >= 420) {
        s.WriteBool(o.FreezeCheck());
        s.WriteInt32(storedFreezeTimeout);
        s.WriteLongString(o.FreezeMessage());
    }
    if (v >= 450) s.WriteLongString(o.SmtpFrom());
    s.WriteLongString(o.SmtpServer());
    if (v >= 450) s.WriteUInt16(o.SmtpPort());
    if (v > 420) {
        s.WriteLongString(o.SmtpUser());
        s.WriteLongString(o.SmtpPassword());
        s.WriteByte(o.TerminateAction());
    }
    s.WriteBool(o.TerminateButtonAfterErrors());
    s.WriteInt32(o.MaxLogEntries());
    s.WriteInt32(o.TerminateErrorCount());
    s.WriteLongString(o.MailRecipients());
    s.WriteLongString(o.MailSubject());
    s.WriteByte(o.SendMode());
    s.WriteUInt32(o.LogItems());
    if (v < 450) s.WriteByte(0xEE);
    s.WriteLongString(o.OutputPath());
    s.WriteInt32(o.FilterClasses().Count());
    for (int i = 0; i < o.FilterClasses().Count(); ++i) {
        s.WriteLongString(o.FilterClasses()[i]);
        s.WriteLongString(o.FilterMessages().ItemOrEmpty(i));
    }
    s.WriteLongString(o.MailBody());
    const std::vector<int> newIn450 = {8, 9, 10, 11, 16, 17, 18, 23, 37, 45, 47, 48};
    for (int i = 0; i < kCrashTextCount; ++i) {
        bool absent = (i == 15 && v < 420) || (i == 14 && v <= 420);
        absent = absent || (v < 450 && (i > 52 || std::find(newIn450.begin(), newIn450.end(), i) != newIn450.end()));
        if (!absent) s.WriteLongString(o.GetText(i));
    }
    return s.TakeBytes();
}

}  // namespace brenvik
