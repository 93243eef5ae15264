#include <winsock2.h>
#include <iphlpapi.h>
#include <windows.h>

#include <cstring>
#include <vector>

#include "crash/mail/MxLookup.h"
#include "crash/win32/Win32CrashSocketApi.h"

namespace brenvik {

namespace {

using GetNetworkParamsFunction = DWORD(WINAPI*)(PFIXED_INFO, PULONG);

std::vector<std::string> SystemDnsServers() {
    std::vector<std::string> servers;
    const HMODULE library = LoadLibraryA("IPHLPAPI.DLL");
    if (!library) return servers;
    const auto getNetworkParams =
        reinterpret_cast<GetNetworkParamsFunction>(reinterpret_cast<void*>(GetProcAddress(library, "GetNetworkParams")));
    if (getNetworkParams) {
        ULONG size = 0;
        std::vector<unsigned char> buffer;
        DWORD result = ERROR_BUFFER_OVERFLOW;
        // The size may grow between the two calls; a few rounds settle it.
        for (int round = 0; round < 4 && result == ERROR_BUFFER_OVERFLOW; ++round) {
            buffer.resize(size > 0 ? size : sizeof(FIXED_INFO));
            size = static_cast<ULONG>(buffer.size());
            result = getNetworkParams(reinterpret_cast<PFIXED_INFO>(buffer.data()), &size);
        }
        if (result == ERROR_SUCCESS) {
            const auto* info = reinterpret_cast<const FIXED_INFO*>(buffer.data());
            for (const IP_ADDR_STRING* entry = &info->DnsServerList; entry; entry = entry->Next) {
                servers.emplace_back(entry->IpAddress.String, strnlen(entry->IpAddress.String, sizeof entry->IpAddress.String));
            }
        }
    }
    FreeLibrary(library);
    return servers;
}

}  // namespace

std::vector<std::string> MxDnsServers() {
    std::vector<std::string> servers = SystemDnsServers();
    servers.emplace_back(kFallbackDnsServer);
    return servers;
}

}  // namespace brenvik
