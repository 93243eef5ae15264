// What a simulated collector holds and how it misbehaves.
//
// Scenario file: one directive per line; blank lines and lines starting with
// '#' are skipped; a trailing CR (CRLF files) is dropped.
//
//   code <bytes>              a scanned code, framed as <lead><bytes><trail>\r
//   line <bytes>              a whole data line, sent exactly as written
//   repeat N code <bytes>     N copies of the same code
//   codes-from-seq N WIDTH    N numeric codes 0..N-1, zero-padded to WIDTH
//   lead X                    lead character of framed codes (default A)
//   trail XY                  trailing characters of framed codes (default 00)
//   garbage-between <bytes>   bytes sent before every data line
//   never-wake                never answer the wake byte
//   no-getd-reply             answer neither GETD
//   nak-second-getd           answer the second GETD with NAK (still transfers)
//   ack-first-getd            answer the first GETD with ACK
//   silent-after N            send at most N data lines, then nothing
//   partial-last              last data line goes out without its CR, then nothing
//   no-over                   send nothing after the last line's ACK
//
// <bytes> runs from after the single separating space to the end of the line
// and is taken raw, except for escapes: \xHH is the byte with hex value HH and
// \\ is one backslash. Around the garbage-between argument a pair of double
// quotes is optional, so that leading or trailing spaces stay visible.
// lead/trail apply to every code in the file, wherever they appear.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct CollectorFaults {
    bool neverWake = false;
    bool noGetdReply = false;
    bool nakSecondGetd = false;
    bool ackFirstGetd = false;
    bool partialLast = false;
    bool noOver = false;
    std::optional<std::size_t> silentAfter;
    std::string garbageBetween;
};

struct CollectorScenario {
    std::vector<std::string> dataLines;  // complete lines as they go on the wire
    CollectorFaults faults;
};

// Throws std::runtime_error naming the offending line number.
CollectorScenario ParseCollectorScenario(std::string_view text);
CollectorScenario LoadCollectorScenario(const std::string& path);

// Expands \xHH and \\; throws std::runtime_error on a malformed escape.
std::string UnescapeScenarioBytes(std::string_view text);
