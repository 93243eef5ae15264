#include "crash/options/CrashOptionsFile.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <limits>
#include <optional>
#include <system_error>
#include <utility>

namespace brenvik {
namespace {

constexpr std::int64_t kInt32Max = std::numeric_limits<std::int32_t>::max();

std::string_view Trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool SameIgnoringCase(std::string_view a, std::string_view b) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [&](char x, char y) { return lower(x) == lower(y); });
}

// The whole text as a number, decimal or 0x hexadecimal: invalid_argument
// for anything else, result_out_of_range beyond 64 bits.
std::errc ParseInteger(std::string_view text, std::int64_t& value) {
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
        base = 16;
    }
    const char* end = text.data() + text.size();
    const std::from_chars_result parsed = std::from_chars(text.data(), end, value, base);
    return parsed.ec == std::errc() && parsed.ptr != end ? std::errc::invalid_argument : parsed.ec;
}

// One Key=Value line; its conversions raise errors that name the line.
class Setting {
public:
    Setting(std::string place, std::string_view key, std::string_view value)
        : place_(std::move(place)), key_(key), value_(value) {}

    [[noreturn]] void Fail(const std::string& problem) const { throw ECrashOptionsFileError(place_ + problem); }

    std::string_view Key() const { return key_; }
    std::string Plain() const { return std::string(value_); }

    std::string Text() const { return Unescaped(value_); }

    bool Switch() const {
        if (value_ == "1" || SameIgnoringCase(value_, "true")) return true;
        if (value_ == "0" || SameIgnoringCase(value_, "false")) return false;
        Fail("bad switch value \"" + Plain() + "\" for " + std::string(key_) + " (0, 1, false or true)");
    }

    std::int64_t Number(std::int64_t low, std::int64_t high) const {
        std::int64_t value = 0;
        const std::errc parsed = ParseInteger(value_, value);
        if (parsed == std::errc::invalid_argument) Fail("bad number \"" + Plain() + "\" for " + std::string(key_));
        if (parsed != std::errc() || value < low || value > high)
            Fail(std::string(key_) + " must be " + std::to_string(low) + ".." + std::to_string(high) + ", not " +
                 Plain());
        return value;
    }

    // The position of the value among names, or the number given for one.
    int Choice(std::initializer_list<std::string_view> names) const {
        int index = 0;
        for (std::string_view name : names) {
            if (SameIgnoringCase(value_, name)) return index;
            ++index;
        }
        if (!value_.empty() && value_.find_first_not_of("0123456789") == std::string_view::npos)
            return static_cast<int>(Number(0, index - 1));
        std::string list;
        for (std::string_view name : names) list += std::string(name) + ", ";
        list.resize(list.size() - 2);
        Fail("bad value \"" + Plain() + "\" for " + std::string(key_) + " (" + list + " or 0.." +
             std::to_string(index - 1) + ")");
    }

    // Class, then after the first "|" the message shown instead of a report.
    std::pair<std::string, std::string> FilterPair() const {
        const std::size_t bar = value_.find('|');
        if (bar == std::string_view::npos) return {Plain(), ""};
        return {std::string(Trimmed(value_.substr(0, bar))), Unescaped(Trimmed(value_.substr(bar + 1)))};
    }

private:
    std::string Unescaped(std::string_view text) const {
        std::string result;
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] != '\\') {
                result += text[i];
            } else if (text.substr(i, 2) == "\\n") {
                result += "\r\n";
                ++i;
            } else if (text.substr(i, 2) == "\\\\") {
                result += '\\';
                ++i;
            } else {
                Fail("unknown escape \"" + std::string(text.substr(i, 2)) + "\" in " + std::string(key_) +
                     " (\\n or \\\\)");
            }
        }
        return result;
    }

    std::string place_;
    std::string_view key_, value_;
};

std::uint8_t WithFlag(std::uint8_t flags, std::uint8_t flag, bool on) {
    return static_cast<std::uint8_t>(on ? flags | flag : flags & ~flag);
}

using O = TCrashModuleOptions;

struct KeyRule {
    std::string_view Name;
    void (*Apply)(O& o, const Setting& s);
};

const KeyRule kRules[] = {
    {"ProjectEnabled", [](O& o, const Setting& s) { o.SetProjectEnabled(s.Switch()); }},
    {"UseFilter", [](O& o, const Setting& s) { o.SetUseFilter(s.Switch()); }},
    {"SkipDuplicates",
     [](O& o, const Setting& s) { o.SetReportFlags(WithFlag(o.ReportFlags(), O::kSkipDuplicates, s.Switch())); }},
    {"AskReproduceSteps",
     [](O& o, const Setting& s) { o.SetReportFlags(WithFlag(o.ReportFlags(), O::kAskReproduceSteps, s.Switch())); }},
    {"ShowReport", [](O& o, const Setting& s) { o.SetShowReport(s.Switch()); }},
    {"ReportInBody", [](O& o, const Setting& s) { o.SetReportInBody(s.Switch()); }},
    {"SendWholeLog", [](O& o, const Setting& s) { o.SetSendWholeLog(s.Switch()); }},
    {"AttachScreenshot", [](O& o, const Setting& s) { o.SetAttachScreenshot(s.Switch()); }},
    {"ShowSendProgress", [](O& o, const Setting& s) { o.SetShowSendProgress(s.Switch()); }},
    {"SaveLogFile", [](O& o, const Setting& s) { o.SetSaveLogFile(s.Switch()); }},
    {"FlatDialogLook", [](O& o, const Setting& s) { o.SetFlatDialogLook(s.Switch()); }},
    {"FreezeCheck", [](O& o, const Setting& s) { o.SetFreezeCheck(s.Switch()); }},
    {"TerminateButtonAfterErrors", [](O& o, const Setting& s) { o.SetTerminateButtonAfterErrors(s.Switch()); }},
    {"FreezeTimeout",
     [](O& o, const Setting& s) { o.SetFreezeTimeout(static_cast<std::int32_t>(s.Number(0, kInt32Max))); }},
    {"MaxLogEntries",
     [](O& o, const Setting& s) { o.SetMaxLogEntries(static_cast<std::int32_t>(s.Number(1, kInt32Max))); }},
    {"TerminateErrorCount",
     [](O& o, const Setting& s) { o.SetTerminateErrorCount(static_cast<std::int32_t>(s.Number(0, kInt32Max))); }},
    {"SmtpPort", [](O& o, const Setting& s) { o.SetSmtpPort(static_cast<std::uint16_t>(s.Number(1, 65535))); }},
    {"DialogStartTab", [](O& o, const Setting& s) { o.SetDialogStartTab(static_cast<std::uint8_t>(s.Number(0, 3))); }},
    {"LogItems", [](O& o, const Setting& s) { o.SetLogItems(static_cast<std::uint32_t>(s.Number(0, 0xFFFFFFFF))); }},
    {"SendMode",
     [](O& o, const Setting& s) {
         o.SetSendMode(static_cast<std::uint8_t>(s.Choice({"none", "client", "smtp", "direct"})));
     }},
    {"TerminateAction",
     [](O& o, const Setting& s) {
         o.SetTerminateAction(static_cast<std::uint8_t>(s.Choice({"terminate", "restart"})));
     }},
    {"MailRecipients", [](O& o, const Setting& s) { o.SetMailRecipients(s.Plain()); }},
    {"MailSubject", [](O& o, const Setting& s) { o.SetMailSubject(s.Plain()); }},
    {"SmtpFrom", [](O& o, const Setting& s) { o.SetSmtpFrom(s.Plain()); }},
    {"SmtpServer", [](O& o, const Setting& s) { o.SetSmtpServer(s.Plain()); }},
    {"SmtpUser", [](O& o, const Setting& s) { o.SetSmtpUser(s.Plain()); }},
    {"SmtpPassword", [](O& o, const Setting& s) { o.SetSmtpPassword(s.Plain()); }},
    {"OutputPath", [](O& o, const Setting& s) { o.SetOutputPath(s.Plain()); }},
    {"FreezeMessage", [](O& o, const Setting& s) { o.SetFreezeMessage(s.Text()); }},
    {"MailBody", [](O& o, const Setting& s) { o.SetMailBody(s.Text()); }},
    {"Filter",
     [](O& o, const Setting& s) {
         auto [filterClass, message] = s.FilterPair();
         o.FilterClasses().Add(std::move(filterClass));
         o.FilterMessages().Add(std::move(message));
     }},
};

// TextN keys; nullopt for a key of another form.
std::optional<int> TextIndex(const Setting& setting) {
    const std::string_view key = setting.Key();
    const std::string_view digits = key.substr(std::min<std::size_t>(4, key.size()));
    if (!SameIgnoringCase(key.substr(0, 4), "Text") || digits.empty() ||
        digits.find_first_not_of("0123456789") != std::string_view::npos)
        return std::nullopt;
    int index = kCrashTextCount;
    std::from_chars(digits.data(), digits.data() + digits.size(), index);
    if (index >= kCrashTextCount)
        setting.Fail("text index " + std::string(digits) + " out of range 0.." + std::to_string(kCrashTextCount - 1));
    return index;
}

void ApplyLine(std::string_view line, const std::string& place, TCrashModuleOptions& options) {
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) throw ECrashOptionsFileError(place + "line without \"=\"");
    const Setting setting(place, Trimmed(line.substr(0, equals)), Trimmed(line.substr(equals + 1)));
    for (const KeyRule& rule : kRules)
        if (SameIgnoringCase(setting.Key(), rule.Name)) return rule.Apply(options, setting);
    if (const std::optional<int> index = TextIndex(setting)) return options.SetText(*index, setting.Text());
    setting.Fail("unknown key \"" + std::string(setting.Key()) + "\"");
}

}  // namespace

void ApplyCrashOptionsText(std::string_view text, const std::string& fileName, TCrashModuleOptions& options) {
    TCrashOptionsUpdate update(options);
    int number = 0;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        std::string_view line = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        ++number;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        line = Trimmed(line);
        if (line.empty() || line.front() == ';') continue;
        ApplyLine(line, fileName + ":" + std::to_string(number) + ": ", options);
    }
}

void ApplyCrashOptionsFile(const std::string& fileName, TCrashModuleOptions& options) {
    std::ifstream file(fileName, std::ios::binary);
    if (!file) throw ECrashOptionsFileError("cannot read the options file " + fileName);
    const std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    if (file.bad()) throw ECrashOptionsFileError("cannot read the options file " + fileName);
    ApplyCrashOptionsText(text, fileName, options);
}

}  // namespace brenvik
