#include "CodeRecorder.h"

namespace {
constexpr uintptr_t kEndOfCodeW = 13;
constexpr intptr_t kEndOfCodeL = 1;
}

bool CodeRecorder::Open(const std::string& outPath, const std::string& logPath)
{
    out_ = std::fopen(outPath.c_str(), "wb");
    if (!out_)
        return false;
    if (!logPath.empty()) {
        log_ = std::fopen(logPath.c_str(), "wb");
        if (!log_)
            return false;
    }
    return true;
}

CodeRecorder::~CodeRecorder()
{
    if (out_)
        std::fclose(out_);
    if (log_)
        std::fclose(log_);
}

bool CodeRecorder::OnMessage(uintptr_t wParam, intptr_t lParam)
{
    if (log_) {
        // Flushed per message so the order is readable even if the sim is killed.
        std::fprintf(log_, "%lu %ld\n", static_cast<unsigned long>(wParam), static_cast<long>(lParam));
        std::fflush(log_);
    }
    if (wParam == kEndOfCodeW && lParam == kEndOfCodeL) {
        lastLine_ = Escape(current_);
        current_.clear();
        ++codes_;
        std::string line = lastLine_ + '\n';
        std::fwrite(line.data(), 1, line.size(), out_);
        std::fflush(out_);
        return true;
    }
    if (lParam == 0 && wParam <= 0xFF)
        current_.push_back(static_cast<char>(wParam));
    return false;
}

std::string CodeRecorder::Escape(const std::string& code)
{
    static const char hex[] = "0123456789abcdef";
    std::string line;
    line.reserve(code.size());
    for (char c : code) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x20 || b >= 0x7F || b == '\\') {
            line += "\\x";
            line += hex[b >> 4];
            line += hex[b & 0xF];
        } else {
            line += c;
        }
    }
    return line;
}
