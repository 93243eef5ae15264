#pragma once
#include <string>

namespace brenvik {

// A local time as the system reports it.
struct TMailLocalTime {
    int Year = 0, Month = 1, Day = 1, DayOfWeek = 0;  // Month 1..12, DayOfWeek 0 = Sunday
    int Hour = 0, Minute = 0, Second = 0;
};

// "+0100" style zone from the standard time-zone bias (minutes to add to local
// time to get UTC): whole hours, truncated; daylight saving is not applied.
std::string MailZoneText(int standardBiasMinutes);

// The "Date:" header value: "Wed, 9 Dec 2026 04:05:06 +0100".
std::string FormatMailDate(const TMailLocalTime& time, int standardBiasMinutes);

}  // namespace brenvik
