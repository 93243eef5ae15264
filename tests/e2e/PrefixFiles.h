#pragma once
#include <filesystem>
#include <string>
#include <vector>

namespace brenvik::e2e {

// A Linux path as programs in the prefix name it (drive Z: is the root).
std::string WindowsPath(const std::filesystem::path& path);

// Registry text that installs the given COM port numbers as Plug and Play
// ports named "Kolektor danych (COMn)", the way the port list finds them,
// after removing whatever such ports were installed before.
std::string PortListRegistry(const std::vector<int>& ports);

}  // namespace brenvik::e2e
