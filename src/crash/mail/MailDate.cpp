#include "crash/mail/MailDate.h"

#include <array>
#include <cstdio>

namespace brenvik {

namespace {

constexpr std::array<const char*, 7> kDays = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
constexpr std::array<const char*, 12> kMonths = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                 "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

template <std::size_t N>
const char* Pick(const std::array<const char*, N>& names, int index) {
    return index >= 0 && static_cast<std::size_t>(index) < N ? names[static_cast<std::size_t>(index)] : "";
}

}  // namespace

std::string MailZoneText(int standardBiasMinutes) {
    const int hours = -standardBiasMinutes / 60;
    std::string zone = std::to_string(hours);
    if (hours >= 0) zone.insert(0, "+");
    if (zone.size() == 2) zone.insert(1, "0");
    return zone + "00";
}

std::string FormatMailDate(const TMailLocalTime& time, int standardBiasMinutes) {
    char text[96];
    std::snprintf(text, sizeof text, "%s, %d %s %d %02d:%02d:%02d %s", Pick(kDays, time.DayOfWeek), time.Day,
                  Pick(kMonths, time.Month - 1), time.Year, time.Hour, time.Minute, time.Second,
                  MailZoneText(standardBiasMinutes).c_str());
    return text;
}

}  // namespace brenvik
