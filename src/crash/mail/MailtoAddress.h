#pragma once
#include <string>

namespace brenvik {

// The Windows-1250 text as UTF-8 (mail clients read mailto fields so),
// every byte outside the unreserved set of URIs (and "@") percent-encoded,
// so "&", "?", "#", "%", "=", blanks and line breaks reach the mail client
// as text instead of ending a field.
std::string PercentEncodeMailto(const std::string& text);

// "mailto:" + the recipients + "?Subject=" + subject + "&Body=" + body +
// three line breaks + the report text (+ three line breaks + the reproduce
// steps when there are any), every field percent-encoded; several recipients
// are joined with ",".
std::string BuildMailtoAddress(const std::string& recipients, const std::string& subject, const std::string& body,
                               const std::string& reportText, const std::string& reproduceSteps);

// The shell command with each "%1" replaced by the address (inserted text is
// not searched again).
std::string MailtoCommandLine(const std::string& command, const std::string& address);

}  // namespace brenvik
