#include "crash/stack/ModuleSourceIndex.h"

#include "crash/CrashStream.h"

namespace brenvik {

const TSourceIndex* TModuleSourceIndex::Index() const {
    std::call_once(built_, [this] {
        try {
            index_ = std::make_unique<const TSourceIndex>(DecodeDebugInfo(stream_, version_));
        } catch (const ECrashStreamError&) {
            // Damaged debug information: the module's entries fall back to its exports.
        }
    });
    return index_.get();
}

std::optional<TSourceLocation> TModuleSourceIndex::Find(std::uint32_t offset) const {
    const TSourceIndex* index = Index();
    return index ? index->Find(offset) : std::nullopt;
}

std::optional<TSourceLocation> TModuleSourceIndex::FindProcedure(std::uint32_t offset) const {
    const TSourceIndex* index = Index();
    return index ? index->FindProcedure(offset) : std::nullopt;
}

}  // namespace brenvik
