#include "crash/mail/DnsMx.h"

#include <cstdint>
#include <optional>

namespace brenvik {

namespace {

constexpr std::size_t kHeaderSize = 12;
constexpr std::size_t kMaxLabel = 63;
constexpr std::size_t kMaxName = 255;
constexpr std::uint16_t kTypeMx = 15;

class ReplyReader {
public:
    explicit ReplyReader(std::string_view reply) : reply_(reply) {}

    std::size_t Size() const { return reply_.size(); }

    std::optional<std::uint16_t> Word(std::size_t at) const {
        if (at + 2 > reply_.size()) return std::nullopt;
        return static_cast<std::uint16_t>(Byte(at) << 8 | Byte(at + 1));
    }

    // Decodes the name at `at`, reading plain labels no further than `limit`;
    // `next` receives the position after the name (after the first pointer).
    // None on any malformation: truncation, a pointer loop, an oversized name.
    std::optional<std::string> Name(std::size_t at, std::size_t limit, std::size_t& next) const {
        std::string name;
        bool jumped = false;
        // Every pointer must go strictly backwards, so following them ends.
        std::size_t lowestTarget = at;
        for (;;) {
            if (at >= limit) return std::nullopt;
            const unsigned length = Byte(at);
            if (length == 0) {
                if (!jumped) next = at + 1;
                return name;
            }
            if (length >= 192) {
                if (at + 2 > limit) return std::nullopt;
                const std::size_t target = (length & 63u) << 8 | Byte(at + 1);
                if (!jumped) next = at + 2;
                if (target >= lowestTarget) return std::nullopt;
                lowestTarget = target;
                jumped = true;
                limit = reply_.size();
                at = target;
                continue;
            }
            if (length > kMaxLabel || at + 1 + length > limit) return std::nullopt;
            if (!name.empty()) name += '.';
            name.append(reply_.substr(at + 1, length));
            if (name.size() > kMaxName) return std::nullopt;
            at += 1 + length;
        }
    }

private:
    unsigned Byte(std::size_t at) const { return static_cast<unsigned char>(reply_[at]); }

    std::string_view reply_;
};

}  // namespace

std::string MailDomain(const std::string& address) {
    const std::size_t at = address.find('@');
    return at == std::string::npos ? address : address.substr(at + 1);
}

std::string BuildMxQuery(const std::string& domain) {
    std::string query("\x41\x41\x01\x00\x00\x01\x00\x00\x00\x00\x00\x00", kHeaderSize);
    std::size_t start = 0;
    while (start <= domain.size()) {
        std::size_t end = domain.find('.', start);
        if (end == std::string::npos) end = domain.size();
        const std::size_t length = end - start;
        const bool finalDot = end == domain.size() && length == 0 && start > 0;
        if (!finalDot) {
            if (length == 0 || length > kMaxLabel) return {};
            query += static_cast<char>(length);
            query.append(domain, start, length);
        }
        start = end + 1;
    }
    query.append("\x00\x00\x0F\x00\x01", 5);
    return query;
}

std::string ParseMxReply(std::string_view reply) {
    const ReplyReader reader(reply);
    const auto answers = reader.Word(6);
    if (!answers || reader.Size() < kHeaderSize) return {};
    std::size_t at = kHeaderSize;
    if (!reader.Name(at, reader.Size(), at)) return {};
    at += 4;  // question type and class

    std::string best;
    std::uint16_t bestPreference = 0;
    for (unsigned record = 0; record < *answers; ++record) {
        std::size_t afterOwner = at;
        if (!reader.Name(at, reader.Size(), afterOwner)) break;
        const auto type = reader.Word(afterOwner);
        const auto length = reader.Word(afterOwner + 8);
        if (!type || !length) break;
        const std::size_t data = afterOwner + 10;
        const std::size_t end = data + *length;
        if (end > reader.Size()) break;
        if (*type == kTypeMx && *length >= 3) {
            const std::uint16_t preference = *reader.Word(data);
            std::size_t afterName = data + 2;
            const auto host = reader.Name(data + 2, end, afterName);
            if (host && !host->empty() && (best.empty() || preference < bestPreference)) {
                best = *host;
                bestPreference = preference;
            }
        }
        at = end;
    }
    return best;
}

}  // namespace brenvik
