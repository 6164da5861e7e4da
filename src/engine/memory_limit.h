// How much memory this process may use: the least of the physical memory, the
// memory limits of its control groups and its address-space limit.
#pragma once

#include <cstdint>

namespace engine {

// Returns the bytes this process may use at most, as far as the system says.
std::uint64_t memory_limit_bytes();

}  // namespace engine
