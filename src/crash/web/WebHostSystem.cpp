#include "crash/web/WebHostSystem.h"

namespace brenvik {

namespace {
// Larger "profiles" are not WinCGI request files; reading them would only cost time.
constexpr std::uint64_t kMaxWinCgiProfileSize = 102400;
}  // namespace

std::string WinCgiOutputFile(const TWebHostSystem& system) {
    std::string file = system.Argument(3);
    if (file.empty()) file = system.ProfileString(system.Argument(1), "System", "Output File");
    return file;
}

bool IsIsapiHost(const TWebHostSystem& system) { return system.IsLibrary() && system.ExportsHttpExtensionProc(); }

bool IsCgiHost(const TWebHostSystem& system) {
    return system.IsConsole() && system.HasEnvironmentVariable("REQUEST_METHOD");
}

bool IsWinCgiHost(const TWebHostSystem& system) {
    if (system.IsConsole()) return false;
    const std::string profile = system.Argument(1);
    if (profile.empty()) return false;
    const std::optional<std::uint64_t> size = system.FileSize(profile);
    if (!size || *size > kMaxWinCgiProfileSize) return false;
    if (system.ProfileString(profile, "CGI", "Request Method").empty()) return false;
    const std::string output = WinCgiOutputFile(system);
    return !output.empty() && system.FileExists(output);
}

TWebHostKind DetectWebHost(const TWebHostSystem& system) {
    if (IsIsapiHost(system)) return TWebHostKind::Isapi;
    if (IsCgiHost(system)) return TWebHostKind::Cgi;
    if (IsWinCgiHost(system)) return TWebHostKind::WinCgi;
    return TWebHostKind::None;
}

}  // namespace brenvik
