#include "crash/debuginfo/DebugInfo.h"

namespace brenvik {
namespace {

// Marks a long entry whose deltas follow as two 16-bit values (from 423 on).
constexpr std::uint32_t kEscapeWord = 0x0FFEFFFE;
constexpr std::uint32_t kZeroCodeDelta = 4095;

void WriteEntry(TCrashStreamWriter& out, const TDebugLineEntry& entry) {
    const std::optional<TLineEntryForm> form = LineEntryFormFor(entry);
    if (!form) throw ECrashStreamError("Line entry too large for every form");
    const std::uint32_t line = entry.LineDelta - 1;
    const std::uint32_t nameBit = entry.Name ? 4 : 0;
    switch (*form) {
        case TLineEntryForm::Tiny:
            out.WriteByte(static_cast<std::uint8_t>(line << 6 | (entry.CodeDelta - 1) << 1));
            break;
        case TLineEntryForm::Named:
            out.WriteByte(static_cast<std::uint8_t>(line << 5 | (entry.CodeDelta - 1) << 2 | 1));
            break;
        case TLineEntryForm::Short:
            out.WriteUInt16(static_cast<std::uint16_t>(line << 11 | (entry.CodeDelta - 1) << 4 | nameBit | 3));
            break;
        case TLineEntryForm::Long: {
            const std::uint32_t code = entry.CodeDelta == 0 ? kZeroCodeDelta : entry.CodeDelta - 1;
            out.WriteUInt32((code << 16 | line) << 4 | 8 | nameBit | 3);
            break;
        }
        case TLineEntryForm::Escaped:
            out.WriteUInt32(kEscapeWord << 4 | 8 | nameBit | 3);
            out.WriteUInt16(static_cast<std::uint16_t>(line));
            out.WriteUInt16(static_cast<std::uint16_t>(entry.CodeDelta - 1));
            break;
    }
    if (entry.Name) out.WriteShortString(*entry.Name);
}

TDebugLineEntry ReadEntry(TCrashStreamReader& in, std::uint16_t version) {
    TDebugLineEntry entry;
    const std::uint8_t first = in.ReadByte();
    bool named;
    if (!(first & 1)) {
        named = false;
        entry.LineDelta = (first >> 6) + 1u;
        entry.CodeDelta = ((first >> 1) & 0x1F) + 1u;
    } else if (!(first & 2)) {
        named = true;
        entry.LineDelta = (first >> 5) + 1u;
        entry.CodeDelta = ((first >> 2) & 7) + 1u;
    } else {
        named = (first & 4) != 0;
        if (first & 8) {
            const std::uint32_t word = (first | static_cast<std::uint32_t>(in.ReadByte()) << 8 |
                                        static_cast<std::uint32_t>(in.ReadUInt16()) << 16) >> 4;
            if (word == kEscapeWord && version > 422) {
                entry.LineDelta = in.ReadUInt16() + 1u;
                entry.CodeDelta = in.ReadUInt16() + 1u;
            } else {
                entry.LineDelta = (word & 0xFFFF) + 1;
                const std::uint32_t code = word >> 16;
                entry.CodeDelta = code == kZeroCodeDelta ? 0 : code + 1;
            }
        } else {
            const std::uint32_t word = first | static_cast<std::uint32_t>(in.ReadByte()) << 8;
            entry.LineDelta = (word >> 11) + 1;
            entry.CodeDelta = ((word >> 4) & 0x7F) + 1;
        }
    }
    if (named) entry.Name = in.ReadShortString();
    return entry;
}

}  // namespace

std::optional<TLineEntryForm> LineEntryFormFor(const TDebugLineEntry& entry) {
    const std::uint32_t line = entry.LineDelta, code = entry.CodeDelta;
    if (line == 0) return std::nullopt;
    if (!entry.Name && line <= 4 && code >= 1 && code <= 32) return TLineEntryForm::Tiny;
    if (entry.Name && line <= 8 && code >= 1 && code <= 8) return TLineEntryForm::Named;
    if (line <= 32 && code >= 1 && code <= 128) return TLineEntryForm::Short;
    // Line 65535 with code 4095 would store the escape word itself.
    if (line <= 65536 && code <= 4095 && !(line == 65535 && code == 4095)) return TLineEntryForm::Long;
    if (line <= 65536 && code >= 1 && code <= 65536) return TLineEntryForm::Escaped;
    return std::nullopt;
}

std::string EncodeDebugInfo(const TDebugInfo& info) {
    TCrashStreamWriter procedures;
    for (const TDebugProcedure& procedure : info.Procedures) {
        procedures.WriteShortString(procedure.Name);
        procedures.WriteUInt32(procedure.Offset);
        procedures.WriteUInt32(procedure.Size);
    }
    TCrashStreamWriter out;
    out.WriteUInt32(static_cast<std::uint32_t>(procedures.Bytes().size()));
    out.WriteBytes(procedures.Bytes());
    out.WriteUInt32(static_cast<std::uint32_t>(info.Units.size()));
    for (const TDebugUnit& unit : info.Units) {
        TCrashStreamWriter program;
        for (const TDebugLineEntry& entry : unit.Program) WriteEntry(program, entry);
        out.WriteShortString(unit.Name);
        out.WriteInt32(unit.FirstLine);
        out.WriteUInt32(unit.CodeOffset);
        out.WriteUInt32(unit.CodeSize);
        out.WriteUInt32(static_cast<std::uint32_t>(program.Bytes().size()));
        out.WriteBytes(program.Bytes());
    }
    return out.TakeBytes();
}

TDebugInfo DecodeDebugInfo(std::string_view stream, std::uint16_t version) {
    TDebugInfo info;
    TCrashStreamReader in(stream);
    if (version > 404) {
        TCrashStreamReader procedures(in.ReadBytes(in.ReadUInt32()));
        while (procedures.Remaining() > 0) {
            TDebugProcedure procedure;
            procedure.Name = procedures.ReadShortString();
            procedure.Offset = procedures.ReadUInt32();
            procedure.Size = procedures.ReadUInt32();
            info.Procedures.push_back(std::move(procedure));
        }
    }
    const std::uint32_t unitCount = in.ReadUInt32();
    // Each unit takes at least 17 bytes: a count beyond that is damage, not a reason to reserve memory.
    if (unitCount > in.Remaining() / 17) throw ECrashStreamError("Debug information holds too many units");
    info.Units.reserve(unitCount);
    for (std::uint32_t i = 0; i < unitCount; ++i) {
        TDebugUnit unit;
        unit.Name = in.ReadShortString();
        unit.FirstLine = in.ReadInt32();
        unit.CodeOffset = in.ReadUInt32();
        unit.CodeSize = in.ReadUInt32();
        TCrashStreamReader program(in.ReadBytes(in.ReadUInt32()));
        while (program.Remaining() > 0) unit.Program.push_back(ReadEntry(program, version));
        info.Units.push_back(std::move(unit));
    }
    return info;
}

}  // namespace brenvik
