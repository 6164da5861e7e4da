// How much memory this process may use: the least of the physical memory, the
// memory limits of its control groups and its address-space limit.
#pragma once

#include <cstdint>
#include <string>

namespace engine {

// Returns the bytes this process may use at most, as far as the system says.
std::uint64_t memory_limit_bytes();

// Returns the least memory limit of a process's control groups and of every
// group above them up to the root of each hierarchy mounted: memory.max of
// version 2, memory.limit_in_bytes of version 1's memory hierarchy; UINT64_MAX
// when none is found. cgroups and mountinfo are the texts of /proc/self/cgroup
// and /proc/self/mountinfo; the limits are read below the folder root ("" for
// the system's own files).
std::uint64_t control_group_limit(const std::string& cgroups, const std::string& mountinfo,
                                  const std::string& root);

}  // namespace engine
