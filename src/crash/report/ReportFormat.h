#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "crash/report/CrashSystemInfo.h"
#include "crash/stack/CrashStackTypes.h"

namespace brenvik {

inline constexpr std::string_view kCrLf = "\r\n";

// Addresses in the report take as many hexadecimal digits as the build's
// pointers: 8 in the shipped i686 program, 16 in the x86-64 test build.
inline constexpr int kAddressDigits = 2 * static_cast<int>(sizeof(CrashAddress));

// Uppercase hexadecimal, zero-padded to the given number of digits.
std::string HexText(std::uint64_t value, int digits);

// File name after the last folder separator ("\", "/" or a drive colon).
std::string ExtractFileName(std::string_view path);
// Folder of a file name without its trailing backslash, kept for a drive
// root ("D:\"); empty when the name has no folder.
std::string ExtractFileDir(std::string_view path);

// Every character below 32 becomes a space, so a value stays on its line.
std::string ControlCharsToSpaces(std::string_view text);

// Bytes in megabytes, rounded to the nearest integer with halves to even,
// then " Mb".
std::string MegabytesText(std::uint64_t bytes);
// Bytes in gigabytes with at most two decimals (trailing zeros dropped,
// halves rounded up), then " Gb".
std::string GigabytesText(std::uint64_t bytes);

// "+0100" for a bias of -60 minutes; only whole hours are shown.
std::string TimeZoneOffsetText(std::int32_t biasMinutes);
// "Tue, 8 Dec 2026 03:18:08 +0100".
std::string CrashDateText(const TCrashDateTime& time, std::int32_t biasMinutes);

}  // namespace brenvik
