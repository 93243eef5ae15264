#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "crash/web/WebErrorText.h"

namespace brenvik {

// What the web-host checks and the page delivery need from the process and
// the operating system.
class TWebHostSystem {
public:
    virtual ~TWebHostSystem() = default;

    virtual bool IsLibrary() const = 0;
    virtual bool ExportsHttpExtensionProc() const = 0;
    virtual bool IsConsole() const = 0;
    virtual bool HasEnvironmentVariable(const std::string& name) const = 0;
    // Command-line argument `index` (1 = the first after the program), "" when absent.
    virtual std::string Argument(int index) const = 0;
    virtual std::optional<std::uint64_t> FileSize(const std::string& path) const = 0;
    virtual bool FileExists(const std::string& path) const = 0;
    virtual std::string ProfileString(const std::string& file, const std::string& section,
                                      const std::string& key) const = 0;

    // False when standard output does not take every byte.
    virtual bool WriteStandardOutput(std::string_view data) = 0;
    // Opens an existing file without sharing restrictions (or creates it) and
    // writes `data` at its start; throws Exception on failure.
    virtual void WriteOutputFile(const std::string& path, std::string_view data) = 0;
};

// The WinCGI output file: the third argument, else "Output File" of section
// "System" in the profile named by the first.
std::string WinCgiOutputFile(const TWebHostSystem& system);

bool IsIsapiHost(const TWebHostSystem& system);
bool IsCgiHost(const TWebHostSystem& system);
bool IsWinCgiHost(const TWebHostSystem& system);

// The first of ISAPI, CGI and WinCGI that holds.
TWebHostKind DetectWebHost(const TWebHostSystem& system);

}  // namespace brenvik
