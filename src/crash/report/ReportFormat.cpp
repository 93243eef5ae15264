#include "crash/report/ReportFormat.h"

#include <cstdio>

namespace brenvik {

std::string HexText(std::uint64_t value, int digits) {
    char buffer[24];
    std::snprintf(buffer, sizeof buffer, "%0*llX", digits, static_cast<unsigned long long>(value));
    return buffer;
}

namespace {

std::size_t AfterLastSeparator(std::string_view path) {
    const std::size_t at = path.find_last_of("\\/:");
    return at == std::string_view::npos ? 0 : at + 1;
}

}  // namespace

std::string ExtractFileName(std::string_view path) { return std::string(path.substr(AfterLastSeparator(path))); }

std::string ExtractFileDir(std::string_view path) {
    std::string folder(path.substr(0, AfterLastSeparator(path)));
    const bool driveRoot = folder.size() >= 2 && folder[folder.size() - 2] == ':';
    if (!folder.empty() && (folder.back() == '\\' || folder.back() == '/') && !driveRoot) folder.pop_back();
    return folder;
}

std::string ControlCharsToSpaces(std::string_view text) {
    std::string result(text);
    for (char& c : result)
        if (static_cast<unsigned char>(c) < 32) c = ' ';
    return result;
}

std::string MegabytesText(std::uint64_t bytes) {
    constexpr std::uint64_t kMega = 1048576, kHalf = kMega / 2;
    std::uint64_t whole = bytes / kMega;
    const std::uint64_t rest = bytes % kMega;
    if (rest > kHalf || (rest == kHalf && (whole & 1) != 0)) ++whole;
    return std::to_string(whole) + " Mb";
}

std::string GigabytesText(std::uint64_t bytes) {
    constexpr std::uint64_t kGiga = 1073741824;
    std::uint64_t whole = bytes / kGiga;
    std::uint64_t hundredths = ((bytes % kGiga) * 100 + kGiga / 2) / kGiga;
    if (hundredths == 100) {
        ++whole;
        hundredths = 0;
    }
    std::string text = std::to_string(whole);
    if (hundredths != 0) {
        text += '.';
        text += static_cast<char>('0' + hundredths / 10);
        if (hundredths % 10 != 0) text += static_cast<char>('0' + hundredths % 10);
    }
    return text + " Gb";
}

std::string TimeZoneOffsetText(std::int32_t biasMinutes) {
    const std::int32_t hours = -biasMinutes / 60;
    const std::int32_t magnitude = hours < 0 ? -hours : hours;
    std::string text(1, hours < 0 ? '-' : '+');
    if (magnitude < 10) text += '0';
    text += std::to_string(magnitude);
    text += "00";
    return text;
}

std::string CrashDateText(const TCrashDateTime& time, std::int32_t biasMinutes) {
    static const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const char* day = time.DayOfWeek >= 0 && time.DayOfWeek < 7 ? kDays[time.DayOfWeek] : "";
    const char* month = time.Month >= 1 && time.Month <= 12 ? kMonths[time.Month - 1] : "";
    char buffer[96];
    std::snprintf(buffer, sizeof buffer, "%s, %d %s %d %02d:%02d:%02d %s", day, time.Day, month, time.Year,
                  time.Hour, time.Minute, time.Second, TimeZoneOffsetText(biasMinutes).c_str());
    return buffer;
}

}  // namespace brenvik
