#include "crash/stack/CallStackEntry.h"

#include "crash/stack/ModuleSourceIndex.h"
#include "crash/stack/CrashExports.h"

namespace brenvik {
namespace {

// Debug offsets count from the module's code, one page past its base.
constexpr CrashAddress kCodeStart = 4096;

std::optional<TSourceLocation> SourceLocationOf(const TCrashModuleInfo& module, CrashAddress address) {
    if (!module.SourceIndex || address < module.Handle + kCodeStart) return std::nullopt;
    const CrashAddress offset = address - module.Handle - kCodeStart;
    if (offset > UINT32_MAX) return std::nullopt;
    return module.SourceIndex->Find(static_cast<std::uint32_t>(offset));
}

}  // namespace

TCrashDebugInfo DescribeCodeAddress(const TCrashModuleInfo* module, CrashAddress address) {
    TCrashDebugInfo entry;
    entry.Address = address;
    entry.Module = module;
    if (!module) return entry;
    if (auto location = SourceLocationOf(*module, address)) {
        entry.Kind = dkSourceLine;
        entry.UnitName = std::move(location->UnitName);
        entry.ClassName = std::move(location->ClassName);
        entry.ProcedureName = std::move(location->ProcedureName);
        entry.Line = location->Line;
        return entry;
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
