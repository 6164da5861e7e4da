#include "engine/memory_limit.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <string>

namespace engine {
namespace {

// Returns the number a file starts with, or no limit ("max", unreadable).
std::uint64_t number_in(const std::string& path) {
  std::ifstream in(path);
  std::uint64_t value = 0;
  if (in >> value) return value;
  return UINT64_MAX;
}

// Returns the least memory limit of this process's control group and the
// groups above it (version 2), or of its memory group (version 1).
std::uint64_t control_group_limit() {
  std::uint64_t limit = number_in("/sys/fs/cgroup/memory/memory.limit_in_bytes");
  std::ifstream groups("/proc/self/cgroup");
  std::string line;
  while (std::getline(groups, line)) {
    if (line.rfind("0::", 0) != 0) continue;
    for (std::string group = line.substr(3); !group.empty();) {
      limit = std::min(limit, number_in("/sys/fs/cgroup" + group + "/memory.max"));
      const std::size_t slash = group.find_last_of('/');
      group = slash == std::string::npos || slash == 0 ? "" : group.substr(0, slash);
    }
    limit = std::min(limit, number_in("/sys/fs/cgroup/memory.max"));
  }
  return limit;
}

}  // namespace

std::uint64_t memory_limit_bytes() {
  std::uint64_t limit = UINT64_MAX;
  const long pages = sysconf(_SC_PHYS_PAGES), page = sysconf(_SC_PAGESIZE);
  if (pages > 0 && page > 0)
    limit = static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(page);
  limit = std::min(limit, control_group_limit());
  rlimit address_space{};
  if (getrlimit(RLIMIT_AS, &address_space) == 0 && address_space.rlim_cur != RLIM_INFINITY) {
    limit = std::min<std::uint64_t>(limit, address_space.rlim_cur);
  }
  return limit;
}

}  // namespace engine
