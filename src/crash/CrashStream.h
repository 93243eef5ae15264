#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "base/Exception.h"

namespace brenvik {

// Raised when stored crash-report data ends early or holds an impossible
// length: the data came from a module file and is not trusted.
class ECrashStreamError : public Exception {
public:
    using Exception::Exception;
};

// Every stored text of the crash-report data is combined with this key.
inline constexpr std::uint8_t kCrashScrambleKey = 0x5B;

// Little-endian reader over a byte range that never reads past its end.
class TCrashStreamReader {
public:
    explicit TCrashStreamReader(std::string_view bytes) : bytes_(bytes) {}

    std::uint8_t ReadByte();
    bool ReadBool() { return ReadByte() != 0; }
    std::uint16_t ReadUInt16();
    std::uint32_t ReadUInt32();
    std::int32_t ReadInt32() { return static_cast<std::int32_t>(ReadUInt32()); }
    double ReadDouble();
    std::string_view ReadBytes(std::size_t count);
    // 32-bit signed length, then that many scrambled bytes.
    std::string ReadLongString();
    // One length byte, then that many scrambled bytes.
    std::string ReadShortString();

    std::size_t Position() const { return position_; }
    std::size_t Remaining() const { return bytes_.size() - position_; }

private:
    std::string_view bytes_;
    std::size_t position_ = 0;
};

// Little-endian writer that appends to a byte string.
class TCrashStreamWriter {
public:
    void WriteByte(std::uint8_t value) { bytes_.push_back(static_cast<char>(value)); }
    void WriteBool(bool value) { WriteByte(value ? 1 : 0); }
    void WriteUInt16(std::uint16_t value);
    void WriteUInt32(std::uint32_t value);
    void WriteInt32(std::int32_t value) { WriteUInt32(static_cast<std::uint32_t>(value)); }
    void WriteDouble(double value);
    void WriteBytes(std::string_view bytes) { bytes_.append(bytes); }
    void WriteLongString(std::string_view text);
    // Raises ECrashStreamError for a text longer than 255 bytes.
    void WriteShortString(std::string_view text);

    const std::string& Bytes() const { return bytes_; }
    std::string TakeBytes() { return std::move(bytes_); }

private:
    std::string bytes_;
};

}  // namespace brenvik
