#include "crash/stack/CrashExports.h"

#include <algorithm>
#include <vector>

namespace brenvik {
namespace {

std::vector<std::string> SplitAtDots(const std::string& text) {
    std::vector<std::string> parts(1);
    for (char c : text) {
        if (c == '.')
            parts.emplace_back();
        else
            parts.back() += c;
    }
    return parts;
}

TExportName Qualified(const std::string& dotted) {
    TExportName result;
    const std::vector<std::string> parts = SplitAtDots(dotted);
    if (parts.size() == 2) {
        result = {dkQualified, parts[0] + ".pas", "", parts[1]};
    } else if (parts.size() == 3) {
        result = {dkQualified, parts[0] + ".pas", parts[1], parts[2]};
    }
    return result;
}

TExportName Undecorated(const std::string& name) {
    if (name.find('.') != std::string::npos) return Qualified(name.substr(0, name.find('@')));
    if (!name.empty() && name[0] == '?') return {};
    return {dkProcedure, "", "", name};
}

// "@Unit@@Init$qqrv" -> "Unit._Init": the "@@" marks a procedure whose own
// name starts with "@", every other "@" separates unit, class and method.
std::string DottedFromDecorated(const std::string& name) {
    std::string text = name.substr(1, name.find('$') - 1);
    if (!text.empty() && text.back() == '@') text.pop_back();
    if (std::size_t pair = text.find("@@"); pair != std::string::npos) text[pair + 1] = '_';
    std::replace(text.begin(), text.end(), '@', '.');
    return text;
}

bool IsReturn(std::uint8_t byte) { return byte == 0xC2 || byte == 0xC3 || byte == 0xCA || byte == 0xCB; }

}  // namespace

TExportName InterpretExportName(const std::string& name) {
    TExportName result;
    if (name.empty() || name[0] != '@')
        result = Undecorated(name);
    else if (name.size() > 1 && name[1] != '$')
        // Decorated names without dots name a procedure alone, like plain ones.
        result = Undecorated(DottedFromDecorated(name));
    if (!result.ProcedureName.empty() && result.ProcedureName[0] == '@') result.ProcedureName[0] = '_';
    if (result.Kind != dkModule && result.ProcedureName.empty()) return {};
    return result;
}

std::uint32_t EstimateProcedureSize(const std::uint8_t* code, std::size_t available) {
    constexpr std::uint8_t kPushFrame = 0x55, kPopFrame = 0x5D, kLeave = 0xC9;
    if (available > 0 && code[0] == kPushFrame) {
        for (std::size_t i = 1; i + 1 < available; ++i)
            if ((code[i] == kPopFrame || code[i] == kLeave) && IsReturn(code[i + 1]))
                return static_cast<std::uint32_t>(i + 1);
        return 1;
    }
    for (std::size_t i = 0; i < available; ++i)
        if (IsReturn(code[i])) return static_cast<std::uint32_t>(i);
    return 1;
}

const TCrashFunctionInfo* FindExport(const TCrashFunctionsList& exports, CrashAddress address) {
    auto after = std::upper_bound(exports.begin(), exports.end(), address,
                                  [](CrashAddress value, const TCrashFunctionInfo& f) { return value < f.Address; });
    if (after == exports.begin()) return nullptr;
    const TCrashFunctionInfo& candidate = *std::prev(after);
    return address - candidate.Address <= candidate.Size ? &candidate : nullptr;
}

}  // namespace brenvik
