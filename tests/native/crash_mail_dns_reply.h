#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace brenvik::testing {

// Builds DNS replies byte by byte for the MX tests.
class DnsReplyBuilder {
public:
    explicit DnsReplyBuilder(std::uint16_t answers, const std::string& question = "example.test") {
        bytes_ = std::string("\x41\x41\x81\x80\x00\x01", 6);
        Word(answers);
        bytes_.append(4, '\0');
        Name(question);
        Word(15);
        Word(1);
    }
    // An MX answer whose owner points at the question and whose exchange is
    // the given raw name bytes.
    DnsReplyBuilder& Mx(std::uint16_t preference, const std::string& rawExchange, std::uint16_t type = 15) {
        bytes_ += "\xC0\x0C";
        Word(type);
        Word(1);
        bytes_.append("\x00\x00\x0E\x10", 4);
        Word(static_cast<std::uint16_t>(2 + rawExchange.size()));
        Word(preference);
        bytes_ += rawExchange;
        return *this;
    }
    static std::string Labels(const std::string& name) {
        std::string out;
        std::size_t start = 0;
        while (start < name.size()) {
            std::size_t end = name.find('.', start);
            if (end == std::string::npos) end = name.size();
            out += static_cast<char>(end - start);
            out += name.substr(start, end - start);
            start = end + 1;
        }
        return out + std::string(1, '\0');
    }
    const std::string& Bytes() const { return bytes_; }

private:
    void Word(std::uint16_t value) {
        bytes_ += static_cast<char>(value >> 8);
        bytes_ += static_cast<char>(value & 0xFF);
    }
    void Name(const std::string& name) { bytes_ += Labels(name); }

    std::string bytes_;
};

}  // namespace brenvik::testing
