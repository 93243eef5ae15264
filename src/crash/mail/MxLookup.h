#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "crash/mail/CrashSocketApi.h"

namespace brenvik {

// Asked after the system's DNS servers.
inline constexpr const char* kFallbackDnsServer = "9.9.9.9";

// The mail host of the address's domain: each server in turn (empty and
// "0.0.0.0" entries skipped) gets the MX query on UDP port 53 until one names
// a host. Raises ECrashSocketError on a socket failure or when no server
// names one ("Cannot resolve the \"domain\" MX record.").
std::string ResolveMxHost(CrashSocketApi& sockets, const std::string& address, const std::vector<std::string>& servers,
                          std::int32_t timeout = 30000);

}  // namespace brenvik
