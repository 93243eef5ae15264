#include "crash/stack/CallStackEntry.h"

#include "crash/stack/ModuleSourceIndex.h"
#include "crash/stack/CrashExports.h"

namespace brenvik {
namespace {

// Debug offsets count from the module's code, one page past its base.
constexpr CrashAddress kCodeStart = 4096;

// The module's code offset of an address, when its debug information can hold it.
std::optional<std::uint32_t> DebugOffsetOf(const TCrashModuleInfo& module, CrashAddress address) {
    if (!module.SourceIndex || address < module.Handle + kCodeStart) return std::nullopt;
    const CrashAddress offset = address - module.Handle - kCodeStart;
    if (offset > UINT32_MAX) return std::nullopt;
    return static_cast<std::uint32_t>(offset);
}

void TakeNames(TCrashDebugInfo& entry, TSourceLocation&& location) {
    entry.UnitName = std::move(location.UnitName);
    entry.ClassName = std::move(location.ClassName);
    entry.ProcedureName = std::move(location.ProcedureName);
    entry.Line = location.Line;
}

}  // namespace

TCrashDebugInfo DescribeCodeAddress(const TCrashModuleInfo* module, CrashAddress address) {
    TCrashDebugInfo entry;
    entry.Address = address;
    entry.Module = module;
    if (!module) return entry;
    if (const auto offset = DebugOffsetOf(*module, address)) {
        if (auto location = module->SourceIndex->Find(*offset)) {
            entry.Kind = dkSourceLine;
            TakeNames(entry, std::move(*location));
            return entry;
        }
        // Code without lines (the runtime libraries) still has its symbol.
        if (auto procedure = module->SourceIndex->FindProcedure(*offset)) {
            entry.Kind = procedure->UnitName.empty() && procedure->ClassName.empty() ? dkProcedure : dkQualified;
            TakeNames(entry, std::move(*procedure));
            return entry;
        }
    }
    entry.Kind = dkModule;
    if (const TCrashFunctionInfo* export_ = FindExport(module->Functions, address)) {
        TExportName name = InterpretExportName(export_->Name);
        entry.Kind = name.Kind;
        entry.UnitName = std::move(name.UnitName);
        entry.ClassName = std::move(name.ClassName);
        entry.ProcedureName = std::move(name.ProcedureName);
    }
    return entry;
}

}  // namespace brenvik
