#include "PrefixFiles.h"

#include <sstream>

namespace brenvik::e2e {
namespace {

const char kInterfaceKey[] =
    "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\DeviceClasses\\{86E0D1E0-8089-11D0-9CE4-08003E301F73}";
const char kEnumKey[] = "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Enum\\BRENVIKE2E";

}  // namespace

std::string WindowsPath(const std::filesystem::path& path) {
    std::string text = "Z:" + path.string();
    for (char& c : text)
        if (c == '/') c = '\\';
    return text;
}

std::string PortListRegistry(const std::vector<int>& ports) {
    std::ostringstream reg;
    reg << "[-" << kInterfaceKey << "]\r\n\r\n[-" << kEnumKey << "]\r\n\r\n";
    for (int n : ports) {
        std::string id = "COM" + std::to_string(n);
        reg << "[" << kInterfaceKey << "\\##?#E2E#" << id << "]\r\n\"DeviceInstance\"=\"BRENVIKE2E\\\\" << id
            << "\"\r\n\r\n";
        reg << "[" << kEnumKey << "\\" << id << "]\r\n\"ClassGUID\"=\"{4D36E978-E325-11CE-BFC1-08002BE10318}\"\r\n"
            << "\"FriendlyName\"=\"Kolektor danych (" << id << ")\"\r\n\r\n";
        reg << "[" << kEnumKey << "\\" << id << "\\Control]\r\n\r\n";
        reg << "[" << kEnumKey << "\\" << id << "\\Device Parameters]\r\n\"PortName\"=\"" << id << "\"\r\n\r\n";
    }
    return reg.str();
}

}  // namespace brenvik::e2e
