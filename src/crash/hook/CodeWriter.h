#pragma once
#include <cstddef>

namespace brenvik {

// Overwrites code or an import slot in the own process: the range is made
// writable for the copy, gets its previous protection back and the
// instruction cache is flushed. False when the protection cannot be changed.
bool WriteCode(void* address, const void* bytes, std::size_t size);

}  // namespace brenvik
