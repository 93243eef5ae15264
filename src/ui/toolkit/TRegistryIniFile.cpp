#include "ui/toolkit/TRegistryIniFile.h"

#include "base/Exception.h"
#include "base/Text.h"

namespace brenvik {
namespace {

// A value as the registry holds it; absent when the section or value is missing.
struct StoredValue {
    bool present = false;
    DWORD type = REG_NONE;
    std::string data;
};

StoredValue Query(HKEY root, const std::string& section, const std::string& ident) {
    StoredValue value;
    HKEY key = nullptr;
    if (!root || RegOpenKeyExA(root, section.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return value;
    DWORD size = 0;
    if (RegQueryValueExA(key, ident.c_str(), nullptr, &value.type, nullptr, &size) == ERROR_SUCCESS) {
        value.data.resize(size);
        value.present = RegQueryValueExA(key, ident.c_str(), nullptr, &value.type,
                                         reinterpret_cast<BYTE*>(value.data.data()), &size) == ERROR_SUCCESS;
        value.data.resize(size);
    }
    RegCloseKey(key);
    return value;
}

bool IsText(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ; }

std::string TextOf(const StoredValue& value) {
    std::string text = value.data;
    while (!text.empty() && text.back() == '\0') text.pop_back();
    return text;
}

[[noreturn]] void ThrowReadError(const std::string& ident) {
    throw ERegistryException("Invalid data type for '" + ident + "'");
}

void Store(HKEY root, const std::string& section, const std::string& ident, DWORD type, const void* data,
           DWORD size) {
    HKEY key = nullptr;
    if (!root || RegCreateKeyExA(root, section.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
                     ERROR_SUCCESS)
        throw ERegistryException("Failed to set data for '" + ident + "'");
    LONG result = RegSetValueExA(key, ident.c_str(), 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS) throw ERegistryException("Failed to set data for '" + ident + "'");
}

}  // namespace

TRegistryIniFile::TRegistryIniFile(const std::string& keyPath) {
    if (RegCreateKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &root_,
                        nullptr) != ERROR_SUCCESS)
        root_ = nullptr;
}

TRegistryIniFile::~TRegistryIniFile() {
    if (root_) RegCloseKey(root_);
}

std::string TRegistryIniFile::ReadString(const std::string& section, const std::string& ident,
                                         const std::string& defaultValue) {
    StoredValue value = Query(root_, section, ident);
    if (!value.present) return defaultValue;
    if (!IsText(value.type)) ThrowReadError(ident);
    return TextOf(value);
}

int TRegistryIniFile::ReadInteger(const std::string& section, const std::string& ident, int defaultValue) {
    StoredValue value = Query(root_, section, ident);
    if (!value.present) return defaultValue;
    if (IsText(value.type)) {
        int number = 0;
        return TryParseInt32(TextOf(value), number) ? number : defaultValue;
    }
    if (value.type != REG_DWORD || value.data.size() != sizeof(DWORD)) ThrowReadError(ident);
    DWORD number = 0;
    memcpy(&number, value.data.data(), sizeof number);
    return static_cast<int>(number);
}

bool TRegistryIniFile::ReadBool(const std::string& section, const std::string& ident, bool defaultValue) {
    return ReadInteger(section, ident, defaultValue ? 1 : 0) != 0;
}

void TRegistryIniFile::WriteString(const std::string& section, const std::string& ident, const std::string& value) {
    Store(root_, section, ident, REG_SZ, value.c_str(), static_cast<DWORD>(value.size() + 1));
}

void TRegistryIniFile::WriteInteger(const std::string& section, const std::string& ident, int value) {
    // A value kept as text stays text, so older readers of the key still work.
    StoredValue existing = Query(root_, section, ident);
    if (existing.present && IsText(existing.type)) {
        WriteString(section, ident, std::to_string(value));
        return;
    }
    DWORD number = static_cast<DWORD>(value);
    Store(root_, section, ident, REG_DWORD, &number, sizeof number);
}

void TRegistryIniFile::WriteBool(const std::string& section, const std::string& ident, bool value) {
    WriteString(section, ident, value ? "1" : "0");
}

}  // namespace brenvik
