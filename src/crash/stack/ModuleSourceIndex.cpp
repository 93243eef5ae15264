#include "crash/stack/ModuleSourceIndex.h"

#include "crash/CrashStream.h"

namespace brenvik {

std::optional<TSourceLocation> TModuleSourceIndex::Find(std::uint32_t offset) const {
    std::call_once(built_, [this] {
        try {
            index_ = std::make_unique<const TSourceIndex>(DecodeDebugInfo(stream_, version_));
        } catch (const ECrashStreamError&) {
            // Damaged debug information: the module's entries fall back to its exports.
        }
    });
    return index_ ? index_->Find(offset) : std::nullopt;
}

}  // namespace brenvik
