#include "crash/CrashStream.h"

#include <cstring>

namespace brenvik {
namespace {

std::string Scrambled(std::string_view text) {
    std::string result(text);
    for (char& c : result) c = static_cast<char>(static_cast<std::uint8_t>(c) ^ kCrashScrambleKey);
    return result;
}

}  // namespace

std::string_view TCrashStreamReader::ReadBytes(std::size_t count) {
    if (count > Remaining()) throw ECrashStreamError("Crash data ends early");
    std::string_view result = bytes_.substr(position_, count);
    position_ += count;
    return result;
}

std::uint8_t TCrashStreamReader::ReadByte() { return static_cast<std::uint8_t>(ReadBytes(1)[0]); }

std::uint16_t TCrashStreamReader::ReadUInt16() {
    std::string_view b = ReadBytes(2);
    return static_cast<std::uint16_t>(static_cast<std::uint8_t>(b[0]) | static_cast<std::uint8_t>(b[1]) << 8);
}

std::uint32_t TCrashStreamReader::ReadUInt32() {
    std::string_view b = ReadBytes(4);
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = value << 8 | static_cast<std::uint8_t>(b[static_cast<std::size_t>(i)]);
    return value;
}

double TCrashStreamReader::ReadDouble() {
    std::string_view b = ReadBytes(8);
    std::uint64_t bits = 0;
    for (int i = 7; i >= 0; --i) bits = bits << 8 | static_cast<std::uint8_t>(b[static_cast<std::size_t>(i)]);
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

std::string TCrashStreamReader::ReadLongString() {
    std::int32_t length = ReadInt32();
    if (length < 0) throw ECrashStreamError("Crash data holds a negative text length");
    return Scrambled(ReadBytes(static_cast<std::size_t>(length)));
}

std::string TCrashStreamReader::ReadShortString() { return Scrambled(ReadBytes(ReadByte())); }

void TCrashStreamWriter::WriteUInt16(std::uint16_t value) {
    WriteByte(static_cast<std::uint8_t>(value));
    WriteByte(static_cast<std::uint8_t>(value >> 8));
}

void TCrashStreamWriter::WriteUInt32(std::uint32_t value) {
    for (int i = 0; i < 4; ++i) WriteByte(static_cast<std::uint8_t>(value >> (8 * i)));
}

void TCrashStreamWriter::WriteDouble(double value) {
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    for (int i = 0; i < 8; ++i) WriteByte(static_cast<std::uint8_t>(bits >> (8 * i)));
}

void TCrashStreamWriter::WriteLongString(std::string_view text) {
    WriteInt32(static_cast<std::int32_t>(text.size()));
    WriteBytes(Scrambled(text));
}

void TCrashStreamWriter::WriteShortString(std::string_view text) {
    if (text.size() > 255) throw ECrashStreamError("Text too long for a short string");
    WriteByte(static_cast<std::uint8_t>(text.size()));
    WriteBytes(Scrambled(text));
}

}  // namespace brenvik
