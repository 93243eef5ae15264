#include "platform/Win32Registry.h"

#include <vector>

#include "base/Exception.h"

namespace brenvik {
namespace {

HKEY OpenReadOnly(HKEY parent, const std::string& path) {
    size_t skip = (!path.empty() && path[0] == '\\') ? 1 : 0;
    HKEY key = nullptr;
    if (RegOpenKeyExA(parent, path.c_str() + skip, 0, KEY_READ, &key) != ERROR_SUCCESS) return nullptr;
    return key;
}

class Win32RegistryKey final : public RegistryKey {
public:
    explicit Win32RegistryKey(HKEY key) : key_(key) {}
    ~Win32RegistryKey() override { RegCloseKey(key_); }

    std::vector<std::string> SubkeyNames() override {
        std::vector<std::string> names;
        char name[256];
        for (DWORD index = 0;; ++index) {
            DWORD length = sizeof name;
            if (RegEnumKeyExA(key_, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
                break;
            names.emplace_back(name, length);
        }
        return names;
    }

    bool HasSubkey(const std::string& name) override {
        HKEY sub = OpenReadOnly(key_, name);
        if (sub) RegCloseKey(sub);
        return sub != nullptr;
    }

    std::string ReadString(const std::string& name) override {
        DWORD type = 0, size = 0;
        if (RegQueryValueExA(key_, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return {};
        if (type != REG_SZ && type != REG_EXPAND_SZ)
            throw ERegistryException("Invalid data type for '" + name + "'");
        std::string value(size, '\0');
        if (RegQueryValueExA(key_, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(value.data()), &size) !=
            ERROR_SUCCESS)
            return {};
        value.resize(size);
        while (!value.empty() && value.back() == '\0') value.pop_back();
        return value;
    }

    std::unique_ptr<RegistryKey> OpenSubkey(const std::string& name) override {
        HKEY sub = OpenReadOnly(key_, name);
        if (!sub) return nullptr;
        return std::make_unique<Win32RegistryKey>(sub);
    }

private:
    HKEY key_;
};

class Win32RegistryReader final : public RegistryReader {
public:
    explicit Win32RegistryReader(HKEY root) : root_(root) {}
    std::unique_ptr<RegistryKey> OpenKey(const std::string& path) override {
        HKEY key = OpenReadOnly(root_, path);
        if (!key) return nullptr;
        return std::make_unique<Win32RegistryKey>(key);
    }

private:
    HKEY root_;
};

}  // namespace

std::unique_ptr<RegistryReader> OpenRegistryReader(HKEY root) { return std::make_unique<Win32RegistryReader>(root); }

}  // namespace brenvik
