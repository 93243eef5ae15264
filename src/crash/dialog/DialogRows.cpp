#include "crash/dialog/DialogRows.h"

#include "base/Text.h"
#include "crash/report/ReportFormat.h"

namespace brenvik {

namespace {

std::string UpperExtension(const std::string& fileName) {
    const std::string name = ExtractFileName(fileName);
    const auto dot = name.rfind('.');
    std::string extension = dot == std::string::npos ? std::string() : name.substr(dot);
    for (char& c : extension)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return extension;
}

int ModuleKindImage(const TCrashModuleInfo* module) {
    if (module == nullptr) return liLibrary;
    if (module->Kind == mkProgram) return liProgram;
    if (module->Kind == mkPackage) return liPackage;
    return liLibrary;
}

int ModuleFileImage(const std::string& fileName) {
    const std::string extension = UpperExtension(fileName);
    if (extension == ".EXE") return liProgram;
    if (extension == ".BPL" || extension == ".DPL") return liPackage;
    return liLibrary;
}

}  // namespace

std::vector<TCallStackRow> CallStackRows(const TCrashStackList& stack, const std::string& programFileName) {
    std::vector<TCallStackRow> rows;
    for (const TCrashDebugInfo& entry : stack) {
        if (entry.Kind < dkProcedure || entry.Kind > dkSourceLine) continue;
        if (entry.Kind == dkQualified && entry.Module != nullptr &&
            SameTextAscii(entry.Module->FileName, programFileName))
            continue;
        TCallStackRow row;
        // Addresses take the build's pointer width: 8 digits in the shipped program.
        row.Cells = {HexText(entry.Address, kAddressDigits),
                     entry.Module != nullptr ? ExtractFileName(entry.Module->FileName) : std::string(),
                     entry.UnitName,
                     entry.ClassName,
                     entry.ProcedureName,
                     entry.Line != 0 ? std::to_string(entry.Line) : std::string()};
        row.Image = entry.Kind == dkSourceLine ? liSource : ModuleKindImage(entry.Module);
        rows.push_back(std::move(row));
    }
    return rows;
}

std::vector<TModuleRow> ModuleRows(const TCrashModulesList& modules) {
    std::vector<TModuleRow> rows;
    for (const auto& module : modules) {
        TModuleRow row;
        row.Cells = {HexText(module->Handle, kAddressDigits), ExtractFileName(module->FileName), module->Description,
                     ModuleVersionCell(module->Version),      ModuleSizeCell(module->Size),      module->FileName};
        row.Image = ModuleFileImage(module->FileName);
        rows.push_back(std::move(row));
    }
    return rows;
}

std::string ModuleVersionCell(const std::string& version) {
    const auto first = version.find('.');
    if (first == std::string::npos) return version;
    const auto second = version.find('.', first + 1);
    if (second == std::string::npos) return version;
    return version.substr(0, second + 1) + "x";
}

std::string ModuleSizeCell(std::uint32_t bytes) {
    std::uint32_t kilobytes = bytes / 1024;
    const std::uint32_t rest = bytes % 1024;
    if (rest > 512 || (rest == 512 && kilobytes % 2 == 1)) ++kilobytes;
    return std::to_string(kilobytes) + " Kb";
}

}  // namespace brenvik
