#pragma once
#include <memory>
#include <string>
#include <vector>

namespace brenvik {

// A key opened read-only. Closing happens when the object goes away, so a key
// is closed on every path, a failed read included.
class RegistryKey {
public:
    virtual ~RegistryKey() = default;
    virtual std::vector<std::string> SubkeyNames() = 0;
    virtual bool HasSubkey(const std::string& name) = 0;
    // Empty text when the value does not exist; ERegistryException when it
    // exists with a non-text type.
    virtual std::string ReadString(const std::string& name) = 0;
    virtual std::unique_ptr<RegistryKey> OpenSubkey(const std::string& name) = 0;
};

// Read-only access to one registry root (HKEY_LOCAL_MACHINE for the port walk).
class RegistryReader {
public:
    virtual ~RegistryReader() = default;
    // Path relative to the root, with or without a leading backslash; null
    // when the key does not open.
    virtual std::unique_ptr<RegistryKey> OpenKey(const std::string& path) = 0;
};

}  // namespace brenvik
