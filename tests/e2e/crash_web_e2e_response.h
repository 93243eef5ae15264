#pragma once
#include <algorithm>
#include <cctype>
#include <sstream>
#include <string>

namespace brenvik::e2e {

// The text of a crash-report error page as the report wrote it: the page
// carries line breaks as "<br>" and blanks as "&nbsp;".
inline std::string ErrorPageText(std::string html) {
    const auto replaceAll = [&html](const std::string& from, const std::string& to) {
        for (std::size_t at = html.find(from); at != std::string::npos; at = html.find(from, at + to.size()))
            html.replace(at, from.size(), to);
    };
    replaceAll("<br>", "\r\n");
    replaceAll("&nbsp;", " ");
    return html;
}

// The value of header `name` (case-insensitive) in CR LF separated header
// lines, "" when absent.
inline std::string HeaderValue(const std::string& headers, const std::string& name) {
    const auto lower = [](std::string text) {
        std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
        return text;
    };
    std::istringstream lines(headers);
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::size_t colon = line.find(':');
        if (colon == std::string::npos || lower(line.substr(0, colon)) != lower(name)) continue;
        const std::size_t value = line.find_first_not_of(' ', colon + 1);
        return value == std::string::npos ? "" : line.substr(value);
    }
    return "";
}

}  // namespace brenvik::e2e
