#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace brenvik {

enum class TWebHostKind { None, Isapi, Cgi, WinCgi };

// Escapes "&", "<", ">" and '"' so report text (which carries exception
// messages, possibly echoing request data) cannot inject markup.
std::string HtmlEscape(std::string_view text);

// `message`, an empty line and the report: what console and web hosts show.
std::string PlainErrorText(std::string_view message, std::string_view report);

// The page handed to the web server: `title` in the head, the plain error
// text escaped, with CR LF as "<br>" and blanks as "&nbsp;", in a fixed font.
std::string WebErrorPageHtml(std::string_view title, std::string_view message, std::string_view report);

// The plain error text as one line for standard output.
std::string ConsoleErrorLine(std::string_view message, std::string_view report);

// The HTTP response header; the status line only where the server reads it
// from the output (ISAPI gets the status through the control block).
std::string WebResponseHeader(TWebHostKind host, std::size_t pageLength);

// Replaces every occurrence of `from` by `to`.
std::string ReplaceAllText(std::string_view text, std::string_view from, std::string_view to);

}  // namespace brenvik
