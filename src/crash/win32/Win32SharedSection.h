#pragma once
#include <windows.h>

#include <mutex>
#include <optional>
#include <string>
#include <string_view>

namespace brenvik {

// Name of the section through which a module of a process publishes its
// changed crash-report options: process id and module handle in uppercase
// hexadecimal (8 digits each on 32-bit Windows), then "MODULE".
std::string PublishedOptionsSectionName(DWORD processId, HMODULE module);

// A named section backed by the paging file holding a 32-bit length and then
// a block. Publishing again releases the earlier section first.
class Win32SharedSection {
public:
    explicit Win32SharedSection(std::string name) : name_(std::move(name)) {}
    ~Win32SharedSection() { Release(); }
    Win32SharedSection(const Win32SharedSection&) = delete;
    Win32SharedSection& operator=(const Win32SharedSection&) = delete;

    // False when the section cannot be created; nothing is published then.
    bool Publish(std::string_view block);
    void Release();

private:
    void ReleaseMapping();

    std::string name_;
    std::mutex lock_;
    HANDLE mapping_ = nullptr;
};

// The block of an existing section, checked against the section's size;
// nothing when there is no such section or it is damaged.
std::optional<std::string> ReadSharedSection(const std::string& name);

}  // namespace brenvik
