#pragma once
// Rebuilds codes from the per-byte messages Brenvik sends and records them.

#include <cstdint>
#include <cstdio>
#include <string>

class CodeRecorder {
public:
    // outPath gets one escaped code per line; logPath (may be empty) every
    // message as "wParam lParam". Both are truncated on open.
    bool Open(const std::string& outPath, const std::string& logPath);
    ~CodeRecorder();

    // Returns true when the message ended a code.
    bool OnMessage(uintptr_t wParam, intptr_t lParam);

    size_t CodeCount() const { return codes_; }
    const std::string& LastCodeLine() const { return lastLine_; }

    // Keeps binary codes one per line and byte-exact recoverable.
    static std::string Escape(const std::string& code);

private:
    FILE* out_ = nullptr;
    FILE* log_ = nullptr;
    std::string current_;
    std::string lastLine_;
    size_t codes_ = 0;
};
