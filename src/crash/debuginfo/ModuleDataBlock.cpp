#include "crash/debuginfo/ModuleDataBlock.h"

#include "crash/debuginfo/ZlibCodec.h"

namespace brenvik {
namespace {

// No module's options and line tables come anywhere near this; a larger
// payload is a damaged or hostile block.
constexpr std::size_t kPayloadLimit = 64u << 20;

// Options, then a 32-bit length and that much debug information. The options
// are read into a scratch object so a damaged stream changes nothing.
bool ReadPayload(std::string_view payload, std::uint16_t version, TCrashModuleOptions& options, TModuleData& data) {
    TCrashModuleOptions staged(options.ModuleName(), false);
    TCrashStreamReader stream(payload);
    try {
        staged.LoadFromStream(stream, version);
        const std::uint32_t length = stream.ReadUInt32();
        data.DebugInfo = std::string(stream.ReadBytes(length));
    } catch (const ECrashStreamError&) {
        return false;
    }
    options.Assign(&staged);
    return true;
}

TDataBlockStatus Corrupt(TCrashModuleOptions& options, TModuleData& data) {
    TCrashOptionsUpdate update(options);
    options.SetDefaults();
    options.FilterClasses().Clear();
    options.FilterMessages().Clear();
    data = TModuleData{};
    return TDataBlockStatus::Corrupt;
}

// Version and time stamp, then the payload.
TDataBlockStatus ReadVersionedBlock(std::string_view block, bool compressedFrom450, TCrashModuleOptions& options,
                                    TModuleData& data) {
    TCrashStreamReader header(block);
    TModuleData read;
    try {
        read.Version = header.ReadUInt16();
        read.BuildTime = header.ReadDouble();
    } catch (const ECrashStreamError&) {
        return Corrupt(options, data);
    }
    std::string_view rest = block.substr(header.Position());
    std::optional<std::string> inflated;
    if (compressedFrom450 && read.Version >= 450) {
        inflated = ZlibDecompress(rest, kPayloadLimit);
        if (!inflated) return Corrupt(options, data);
        rest = *inflated;
    }
    if (!ReadPayload(rest, read.Version, options, read)) return Corrupt(options, data);
    data = std::move(read);
    return TDataBlockStatus::Loaded;
}

std::uint32_t UInt32At(std::string_view bytes, std::size_t position) {
    return TCrashStreamReader(bytes.substr(position, 4)).ReadUInt32();
}

}  // namespace

TDataBlockStatus ReadResourceDataBlock(std::string_view resource, TCrashModuleOptions& options, TModuleData& data) {
    if (resource.size() < 4 || UInt32At(resource, 0) != kCrashDataMagic) return TDataBlockStatus::Absent;
    return ReadVersionedBlock(resource.substr(4), true, options, data);
}

TDataBlockStatus ReadAppendedDataBlock(std::string_view file, TCrashModuleOptions& options, TModuleData& data) {
    if (file.size() < 8 || UInt32At(file, file.size() - 4) != kCrashDataMagic) return TDataBlockStatus::Absent;
    const std::uint32_t length = UInt32At(file, file.size() - 8);
    if (length > file.size() - 8) return Corrupt(options, data);
    return ReadVersionedBlock(file.substr(file.size() - 8 - length, length), false, options, data);
}

bool LoadPublishedOptions(std::string_view block, TCrashModuleOptions& options) {
    if (block.empty() || block[0] == 0) return false;
    TCrashModuleOptions staged(options.ModuleName(), false);
    TCrashStreamReader stream(block.substr(1));
    try {
        staged.LoadFromStream(stream);
    } catch (const ECrashStreamError&) {
        return false;
    }
    options.Assign(&staged);
    return true;
}

std::string ComposeResourceDataBlock(double buildTime, std::string_view optionsStream, std::string_view debugInfo) {
    TCrashStreamWriter payload;
    payload.WriteBytes(optionsStream);
    payload.WriteUInt32(static_cast<std::uint32_t>(debugInfo.size()));
    payload.WriteBytes(debugInfo);
    TCrashStreamWriter block;
    block.WriteUInt32(kCrashDataMagic);
    block.WriteUInt16(kCrashDataVersion);
    block.WriteDouble(buildTime);
    block.WriteBytes(ZlibCompress(payload.Bytes()));
    return block.TakeBytes();
}

std::string ComposeAppendedDataBlock(std::uint16_t version, double buildTime, std::string_view optionsStream,
                                     std::string_view debugInfo) {
    TCrashStreamWriter block;
    block.WriteUInt16(version);
    block.WriteDouble(buildTime);
    block.WriteBytes(optionsStream);
    block.WriteUInt32(static_cast<std::uint32_t>(debugInfo.size()));
    block.WriteBytes(debugInfo);
    const std::uint32_t length = static_cast<std::uint32_t>(block.Bytes().size());
    block.WriteUInt32(length);
    block.WriteUInt32(kCrashDataMagic);
    return block.TakeBytes();
}

}  // namespace brenvik
