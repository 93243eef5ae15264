#pragma once
#include <windows.h>
#include <httpext.h>

#include "crash/web/ServerExtensionBlock.h"
#include "crash/web/WebHostSystem.h"

namespace brenvik {

// The host checks and page delivery on the running process and its module
// `facilityModule` (the executable or server-extension library carrying the
// facility).
class TWin32WebHost : public TWebHostSystem {
public:
    explicit TWin32WebHost(HMODULE facilityModule) : module_(facilityModule) {}

    bool IsLibrary() const override;
    bool ExportsHttpExtensionProc() const override;
    bool IsConsole() const override;
    bool HasEnvironmentVariable(const std::string& name) const override;
    std::string Argument(int index) const override;
    std::optional<std::uint64_t> FileSize(const std::string& path) const override;
    bool FileExists(const std::string& path) const override;
    std::string ProfileString(const std::string& file, const std::string& section,
                              const std::string& key) const override;
    bool WriteStandardOutput(std::string_view data) override;
    void WriteOutputFile(const std::string& path, std::string_view data) override;

private:
    HMODULE module_;
};

// The callbacks of a server's control block for the request in progress; the
// block must outlive the returned value.
TServerExtensionBlock ServerExtensionBlockFor(EXTENSION_CONTROL_BLOCK* block);

}  // namespace brenvik
