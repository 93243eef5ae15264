#include "crash/report/CrashTrace.h"

#include <cxxabi.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>

#include "crash/report/ReportFormat.h"

namespace brenvik {

namespace {

std::string UpperCase(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return upper;
}

std::string WithExtension(const std::string& fileName, std::string_view extension) {
    const std::size_t folderEnd = fileName.find_last_of("\\/:");
    const std::size_t dot = fileName.rfind('.');
    const bool hasExtension = dot != std::string::npos && (folderEnd == std::string::npos || dot > folderEnd);
    return (hasExtension ? fileName.substr(0, dot) : fileName) + std::string(extension);
}

std::string TimeText(const TCrashDateTime& time) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%02d/%02d/%02d %02d:%02d:%02d", time.Day, time.Month, time.Year % 100,
                  time.Hour, time.Minute, time.Second);
    return buffer;
}

// Shortest general form with up to 15 significant digits and a plain
// exponent ("1.5", "1E20", "2.5E-7").
std::string GeneralFloatText(double value) {
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.15G", value);
    std::string text = buffer;
    const std::size_t e = text.find('E');
    if (e == std::string::npos) return text;
    std::string exponent = text.substr(e + 1);
    const bool negative = exponent[0] == '-';
    exponent.erase(0, exponent.find_first_not_of("+-0"));
    return text.substr(0, e + 1) + (negative ? "-" : "") + (exponent.empty() ? "0" : exponent);
}

}  // namespace

std::string ReadableClassName(const std::type_info& type) {
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> name(abi::__cxa_demangle(type.name(), nullptr, nullptr, &status),
                                                std::free);
    return status == 0 && name ? std::string(name.get()) : std::string(type.name());
}

TTraceArg::TTraceArg(double value) : text_(GeneralFloatText(value)) {}

TTraceArg::TTraceArg(const void* pointer)
    : text_(pointer ? "$" + HexText(reinterpret_cast<std::uintptr_t>(pointer), kAddressDigits) : "nil") {}

TTraceArg TTraceArg::Currency(std::int64_t tenThousandths) {
    const bool negative = tenThousandths < 0;
    const std::uint64_t magnitude =
        negative ? 0 - static_cast<std::uint64_t>(tenThousandths) : static_cast<std::uint64_t>(tenThousandths);
    std::string text = (negative ? "-" : "") + std::to_string(magnitude / 10000);
    std::string fraction = std::to_string(magnitude % 10000 + 10000).substr(1);
    fraction.erase(fraction.find_last_not_of('0') + 1);
    if (!fraction.empty()) text += "." + fraction;
    return TTraceArg(Rendered{}, text);
}

TCrashTrace::TCrashTrace(const std::string& programFileName, Clock clock)
    : fileName_(WithExtension(programFileName, ".log")), clock_(std::move(clock)) {}

void TCrashTrace::ConfigureAtStart(bool developmentHost, std::string_view lastParameter) {
    const std::string upper = UpperCase(lastParameter);
    std::lock_guard lock(mutex_);
    enabledAtStart_ = developmentHost || upper.find("DEBUG") != std::string::npos;
    enabled_ = enabled_ || enabledAtStart_;
    saveEachLine_ = upper.find("SAVE") != std::string::npos;
}

void TCrashTrace::EnableForDebugger() {
    std::lock_guard lock(mutex_);
    enabled_ = true;
}

bool TCrashTrace::Enabled() const {
    std::lock_guard lock(mutex_);
    return enabled_;
}

void TCrashTrace::Trace(std::string_view section, std::initializer_list<TTraceArg> arguments, int indentChange) {
    std::string list;
    for (const TTraceArg& argument : arguments) {
        if (!list.empty()) list += ", ";
        list += argument.Text();
    }
    if (!list.empty()) list = "(" + list + ")";

    std::lock_guard lock(mutex_);
    if (!enabled_) return;
    if (indentChange < 0)
        indent_.resize(indent_.size() - std::min(indent_.size(), static_cast<std::size_t>(-indentChange)));
    AddLocked(indent_ + std::string(section) + list);
    if (indentChange > 0) indent_.append(static_cast<std::size_t>(indentChange), ' ');
}

void TCrashTrace::AddLine(std::string_view text) {
    std::lock_guard lock(mutex_);
    if (enabled_) AddLocked(indent_ + std::string(text));
}

void TCrashTrace::AddLocked(std::string line) {
    lines_.push_back(TimeText(clock_()) + "  " + line);
    if (saveEachLine_ && enabledAtStart_) WriteLocked();
}

void TCrashTrace::Save() {
    std::lock_guard lock(mutex_);
    if (enabled_ && enabledAtStart_) WriteLocked();
}

void TCrashTrace::SaveAfterInternalError() {
    std::lock_guard lock(mutex_);
    if (enabled_) WriteLocked();
}

std::vector<std::string> TCrashTrace::Lines() const {
    std::lock_guard lock(mutex_);
    return lines_;
}

void TCrashTrace::WriteLocked() const {
    // A trace that cannot be written is lost quietly: it is written while
    // something already went wrong.
    std::ofstream file(fileName_, std::ios::binary | std::ios::trunc);
    for (const std::string& line : lines_) file << line << "\r\n";
}

}  // namespace brenvik
