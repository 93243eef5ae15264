#pragma once
#include <string>
#include <string_view>

namespace brenvik {

// The text after the first "@" of an address, or the whole address.
std::string MailDomain(const std::string& address);

// The MX question for a domain in one datagram: identifier 0x4141, recursion
// desired, one question. Empty when the domain cannot be written as labels
// (an empty label inside it, or one longer than 63 bytes).
std::string BuildMxQuery(const std::string& domain);

// The exchange host of the answer with the lowest preference (the first of
// equal ones), or empty. Only MX records of the answer section count; every
// read is bounds-checked and compression pointers may not loop, so any reply,
// however malformed, yields a host or nothing.
std::string ParseMxReply(std::string_view reply);

}  // namespace brenvik
