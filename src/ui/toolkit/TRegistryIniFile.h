#pragma once
#include <windows.h>

#include <string>

namespace brenvik {

// Settings store under HKEY_CURRENT_USER: a section is a subkey of the key
// path, an identifier a value in it. Values of an unusable type raise
// ERegistryException.
class TRegistryIniFile {
public:
    explicit TRegistryIniFile(const std::string& keyPath);
    TRegistryIniFile(const TRegistryIniFile&) = delete;
    TRegistryIniFile& operator=(const TRegistryIniFile&) = delete;
    ~TRegistryIniFile();

    std::string ReadString(const std::string& section, const std::string& ident, const std::string& defaultValue);
    int ReadInteger(const std::string& section, const std::string& ident, int defaultValue);
    bool ReadBool(const std::string& section, const std::string& ident, bool defaultValue);
    void WriteString(const std::string& section, const std::string& ident, const std::string& value);
    void WriteInteger(const std::string& section, const std::string& ident, int value);
    void WriteBool(const std::string& section, const std::string& ident, bool value);

private:
    HKEY root_ = nullptr;
};

}  // namespace brenvik
