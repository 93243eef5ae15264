#pragma once
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string_view>

#include "crash/debuginfo/SourceIndex.h"

namespace brenvik {

// A module's source index, built from its encoded debug information on the
// first lookup. Module records are made at start-up, and decoding and
// indexing the program's own block costs tens of milliseconds natively and
// hundreds under Wine, which only a report should pay. Safe to share between
// threads (the watchdog symbolises while the main thread may report).
class TModuleSourceIndex {
public:
    // The stream must outlive the index: the module record owns both.
    TModuleSourceIndex(std::string_view stream, std::uint16_t version) : stream_(stream), version_(version) {}

    // Nothing outside the described code, or when the stream cannot be decoded.
    std::optional<TSourceLocation> Find(std::uint32_t offset) const;
    // The procedure record that holds the offset (line 0).
    std::optional<TSourceLocation> FindProcedure(std::uint32_t offset) const;

private:
    const TSourceIndex* Index() const;

    std::string_view stream_;
    std::uint16_t version_;
    mutable std::once_flag built_;
    mutable std::unique_ptr<const TSourceIndex> index_;
};

}  // namespace brenvik
