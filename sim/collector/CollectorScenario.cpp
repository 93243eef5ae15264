#include "CollectorScenario.h"

#include <charconv>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace {

struct Entry {
    bool framed;  // a code that still needs lead/trail/CR
    std::string bytes;
};

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::size_t ParseCount(std::string_view text) {
    std::size_t value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size())
        throw std::runtime_error("expected a number, got '" + std::string(text) + "'");
    return value;
}

std::string_view StripOptionalQuotes(std::string_view text) {
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"')
        return text.substr(1, text.size() - 2);
    return text;
}

std::string ExactBytes(std::string_view text, std::size_t count, const char* what) {
    std::string bytes = UnescapeScenarioBytes(text);
    if (bytes.size() != count)
        throw std::runtime_error(std::string(what) + " needs exactly " + std::to_string(count) +
                                 " character(s)");
    return bytes;
}

void AppendSequence(std::vector<Entry>& entries, std::string_view args) {
    auto space = args.find(' ');
    if (space == std::string_view::npos) throw std::runtime_error("usage: codes-from-seq N WIDTH");
    std::size_t count = ParseCount(args.substr(0, space));
    std::size_t width = ParseCount(args.substr(space + 1));
    if (count > 0 && std::to_string(count - 1).size() > width)
        throw std::runtime_error("codes-from-seq: WIDTH too small for N");
    for (std::size_t i = 0; i < count; ++i) {
        std::string digits = std::to_string(i);
        entries.push_back({true, std::string(width - digits.size(), '0') + digits});
    }
}

void AppendRepeat(std::vector<Entry>& entries, std::string_view args) {
    auto space = args.find(' ');
    if (space == std::string_view::npos || args.substr(space + 1, 5) != "code ")
        throw std::runtime_error("usage: repeat N code <bytes>");
    std::size_t count = ParseCount(args.substr(0, space));
    std::string code = UnescapeScenarioBytes(args.substr(space + 6));
    entries.insert(entries.end(), count, Entry{true, code});
}

// Returns true when the directive was a flag fault.
bool ApplyFlag(CollectorFaults& faults, std::string_view name) {
    struct Flag { std::string_view name; bool CollectorFaults::*field; };
    static constexpr Flag flags[] = {
        {"never-wake", &CollectorFaults::neverWake},
        {"no-getd-reply", &CollectorFaults::noGetdReply},
        {"nak-second-getd", &CollectorFaults::nakSecondGetd},
        {"ack-first-getd", &CollectorFaults::ackFirstGetd},
        {"partial-last", &CollectorFaults::partialLast},
        {"no-over", &CollectorFaults::noOver},
    };
    for (const Flag& flag : flags) {
        if (flag.name == name) {
            faults.*flag.field = true;
            return true;
        }
    }
    return false;
}

}  // namespace

std::string UnescapeScenarioBytes(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
            continue;
        }
        if (i + 1 < text.size() && text[i + 1] == '\\') {
            out += '\\';
            i += 1;
            continue;
        }
        if (i + 3 < text.size() && text[i + 1] == 'x') {
            int high = HexDigit(text[i + 2]);
            int low = HexDigit(text[i + 3]);
            if (high >= 0 && low >= 0) {
                out += static_cast<char>(high * 16 + low);
                i += 3;
                continue;
            }
        }
        throw std::runtime_error("bad escape at column " + std::to_string(i + 1) +
                                 " (use \\xHH or \\\\)");
    }
    return out;
}

CollectorScenario ParseCollectorScenario(std::string_view text) {
    CollectorScenario scenario;
    std::vector<Entry> entries;
    std::string lead = "A";
    std::string trail = "00";
    std::size_t lineNumber = 0;
    while (!text.empty()) {
        ++lineNumber;
        auto newline = text.find('\n');
        std::string_view line = text.substr(0, newline);
        text = newline == std::string_view::npos ? std::string_view() : text.substr(newline + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty() || line.front() == '#') continue;

        auto space = line.find(' ');
        std::string_view name = line.substr(0, space);
        bool hasArgs = space != std::string_view::npos;
        std::string_view args = hasArgs ? line.substr(space + 1) : std::string_view();
        try {
            if (ApplyFlag(scenario.faults, name)) {
                if (hasArgs) throw std::runtime_error(std::string(name) + " takes no argument");
            } else if (name == "code") {
                entries.push_back({true, UnescapeScenarioBytes(args)});
            } else if (name == "line") {
                entries.push_back({false, UnescapeScenarioBytes(args)});
            } else if (name == "repeat") {
                AppendRepeat(entries, args);
            } else if (name == "codes-from-seq") {
                AppendSequence(entries, args);
            } else if (name == "lead") {
                lead = ExactBytes(args, 1, "lead");
            } else if (name == "trail") {
                trail = ExactBytes(args, 2, "trail");
            } else if (name == "garbage-between") {
                scenario.faults.garbageBetween = UnescapeScenarioBytes(StripOptionalQuotes(args));
            } else if (name == "silent-after") {
                scenario.faults.silentAfter = ParseCount(args);
            } else {
                throw std::runtime_error("unknown directive '" + std::string(name) + "'");
            }
        } catch (const std::runtime_error& error) {
            throw std::runtime_error("scenario line " + std::to_string(lineNumber) + ": " +
                                     error.what());
        }
    }
    scenario.dataLines.reserve(entries.size());
    for (Entry& entry : entries)
        scenario.dataLines.push_back(entry.framed ? lead + entry.bytes + trail + '\r'
                                                  : std::move(entry.bytes));
    return scenario;
}

CollectorScenario LoadCollectorScenario(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) throw std::runtime_error("cannot read scenario " + path);
    std::ostringstream text;
    text << file.rdbuf();
    return ParseCollectorScenario(text.str());
}
