#include "crash/web/WebErrorText.h"

namespace brenvik {

namespace {
constexpr std::string_view kLineBreak = "\r\n";
}

std::string ReplaceAllText(std::string_view text, std::string_view from, std::string_view to) {
    std::string result;
    result.reserve(text.size());
    std::size_t start = 0;
    for (std::size_t found; !from.empty() && (found = text.find(from, start)) != std::string_view::npos;
         start = found + from.size()) {
        result.append(text.substr(start, found - start));
        result.append(to);
    }
    result.append(text.substr(start));
    return result;
}

std::string HtmlEscape(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '&': result += "&amp;"; break;
            case '<': result += "&lt;"; break;
            case '>': result += "&gt;"; break;
            case '"': result += "&quot;"; break;
            default: result += c;
        }
    }
    return result;
}

std::string PlainErrorText(std::string_view message, std::string_view report) {
    std::string text(message);
    text.append(kLineBreak).append(kLineBreak).append(report);
    return text;
}

std::string WebErrorPageHtml(std::string_view title, std::string_view message, std::string_view report) {
    const std::string body =
        ReplaceAllText(ReplaceAllText(HtmlEscape(PlainErrorText(message, report)), kLineBreak, "<br>"), " ", "&nbsp;");
    return "<html><head><title>" + std::string(title) + "</title></head><body>" +
           "<p><small><font face=\"Lucida Console,Courier\">" + body + "</font></small></p></body></html>";
}

std::string ConsoleErrorLine(std::string_view message, std::string_view report) {
    return PlainErrorText(message, report).append(kLineBreak);
}

std::string WebResponseHeader(TWebHostKind host, std::size_t pageLength) {
    std::string header;
    if (host == TWebHostKind::Cgi || host == TWebHostKind::WinCgi) header = "Status: 500 Error\r\n";
    header += "Content-Type: text/html\r\nContent-Length: " + std::to_string(pageLength) + "\r\nContent:\r\n\r\n";
    return header;
}

}  // namespace brenvik
