#pragma once
#include <map>
#include <memory>
#include <string>

#include "base/Exception.h"
#include "serial/RegistryReader.h"

namespace brenvik::testing {

// In-memory registry tree. A value written with SetBinary has a non-text type.
class FakeRegistry : public RegistryReader {
public:
    struct Node {
        std::map<std::string, std::unique_ptr<Node>> keys;  // ordered like an enumeration
        std::map<std::string, std::pair<bool, std::string>> values;  // name → (is text, data)
    };

    Node& Key(const std::string& path) {
        Node* node = &root_;
        for (const auto& part : Split(path)) {
            auto& child = node->keys[part];
            if (!child) child = std::make_unique<Node>();
            node = child.get();
        }
        return *node;
    }
    void SetText(const std::string& path, const std::string& name, const std::string& value) {
        Key(path).values[name] = {true, value};
    }
    void SetBinary(const std::string& path, const std::string& name) { Key(path).values[name] = {false, "\x01"}; }

    std::unique_ptr<RegistryKey> OpenKey(const std::string& path) override {
        Node* node = &root_;
        for (const auto& part : Split(path)) {
            auto it = node->keys.find(part);
            if (it == node->keys.end()) return nullptr;
            node = it->second.get();
        }
        return std::make_unique<OpenedKey>(*node, openKeys_);
    }
    int OpenKeyCount() const { return openKeys_; }

private:
    class OpenedKey : public RegistryKey {
    public:
        OpenedKey(Node& node, int& openKeys) : node_(node), openKeys_(openKeys) { ++openKeys_; }
        ~OpenedKey() override { --openKeys_; }
        std::vector<std::string> SubkeyNames() override {
            std::vector<std::string> names;
            for (const auto& entry : node_.keys) names.push_back(entry.first);
            return names;
        }
        bool HasSubkey(const std::string& name) override { return node_.keys.count(name) > 0; }
        std::string ReadString(const std::string& name) override {
            auto it = node_.values.find(name);
            if (it == node_.values.end()) return {};
            if (!it->second.first) throw ERegistryException("Invalid data type for '" + name + "'");
            return it->second.second;
        }
        std::unique_ptr<RegistryKey> OpenSubkey(const std::string& name) override {
            auto it = node_.keys.find(name);
            if (it == node_.keys.end()) return nullptr;
            return std::make_unique<OpenedKey>(*it->second, openKeys_);
        }

    private:
        Node& node_;
        int& openKeys_;
    };

    static std::vector<std::string> Split(const std::string& path) {
        std::vector<std::string> parts;
        std::string part;
        for (char c : path) {
            if (c == '\\') {
                if (!part.empty()) parts.push_back(part);
                part.clear();
            } else {
                part += c;
            }
        }
        if (!part.empty()) parts.push_back(part);
        return parts;
    }

    Node root_;
    int openKeys_ = 0;
};

}  // namespace brenvik::testing
