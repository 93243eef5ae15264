#include "crash/web/IntraWebError.h"

#include <exception>

#include "crash/web/WebErrorText.h"

namespace brenvik {

namespace {

constexpr std::string_view kStartMarker = "<!--crashlog_start-->";
constexpr std::string_view kEndMarker = "<!--crashlog_end-->";
constexpr int kErrorMessageKind = 2;

std::string ListText(const TStringList& list) {
    std::string text;
    for (int i = 0; i < list.Count(); ++i) {
        if (i > 0) text += "\r\n";
        text += list[i].Text;
    }
    return text;
}

void SetListText(TStringList& list, std::string_view text) {
    list.Clear();
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        list.Add(std::string(line));
        start = end + 1;
    }
}

// Drops the block an earlier error left, so a second error replaces it.
std::string WithoutOldStyleBlock(std::string text) {
    const std::size_t start = text.find(kStartMarker);
    if (start == std::string::npos) return text;
    const std::size_t end = text.find(kEndMarker, start + kStartMarker.size());
    if (end == std::string::npos) return text;
    text.erase(start, end + kEndMarker.size() - start);
    return text;
}

std::string StyleBlock(const std::string& title) {
    return std::string(kStartMarker) +
           "<style>.BUTNOKCSS {position:absolute;left:8px;top:8px}.TEXTMESSAGECSS "
           "{position:absolute;left:8px;top:41px;FONT-FAMILY: Lucida Console,Courier}</style><title>" +
           title + "</title>" + std::string(kEndMarker);
}

}  // namespace

bool ShowIntraWebError(const TIntraWebHooks& hooks, const std::string& title, const std::string& message,
                       TCrashFailureLog& failures) {
    if (hooks.Application == nullptr || hooks.ServerController == nullptr) {
        failures.Warning(eeShowError, "IntraWeb: IntraWebApplication e/o IntraWebServerController are set to nil.");
        return false;
    }
    try {
        // The framework shows the message as markup: escape what the report
        // may carry, keep its column layout with hard blanks.
        const std::string text = ReplaceAllText(HtmlEscape(message), " ", "&nbsp;");
        TStringList* headers = hooks.HtmlHeaders ? hooks.HtmlHeaders(hooks.ServerController) : nullptr;
        if (headers == nullptr) {
            failures.Warning(eeShowError, "IntraWeb: HTMLHeaders = nil.");
        } else {
            SetListText(*headers, WithoutOldStyleBlock(ListText(*headers)) + StyleBlock(title));
        }
        if (hooks.ShowMessage) hooks.ShowMessage(hooks.Application, text, kErrorMessageKind);
        return true;
    } catch (...) {
        failures.StepFailed(eeShowError, "IntraWeb", DescribeFailure(std::current_exception()));
        return false;
    }
}

}  // namespace brenvik
