#include "engine/memory_limit.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>
#include <vector>

namespace engine {
namespace {

// The limit files of the two versions, in each group's folder.
constexpr const char* V2_LIMIT = "memory.max";
constexpr const char* V1_LIMIT = "memory.limit_in_bytes";

// Returns the number a file starts with, or no limit ("max", unreadable).
std::uint64_t number_in(const std::string& path) {
  std::ifstream in(path);
  std::uint64_t value = 0;
  if (in >> value) return value;
  return UINT64_MAX;
}

std::string text_of(const char* path) {
  std::ifstream in(path);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Returns whether a comma-separated list names word.
bool lists(const std::string& list, const std::string& word) {
  std::istringstream items(list);
  for (std::string item; std::getline(items, item, ',');) {
    if (item == word) return true;
  }
  return false;
}

// Returns the group of a /proc/self/cgroup line ("ID:CONTROLLERS:GROUP") of
// version 2 (no controllers, ID 0) or of version 1's memory controller.
std::string group_in(const std::string& cgroups, bool v1) {
  std::istringstream lines(cgroups);
  for (std::string line; std::getline(lines, line);) {
    const std::size_t first = line.find(':'), second = line.find(':', first + 1);
    if (second == std::string::npos) continue;
    const std::string controllers = line.substr(first + 1, second - first - 1);
    if (v1 ? lists(controllers, "memory") : line.rfind("0::", 0) == 0) {
      return line.substr(second + 1);
    }
  }
  return "";
}

// Returns the least limit found in the folder of group and in those above it,
// up to the mount point, where the hierarchy is mounted with mount_root (the
// group the mount point shows: "/", or a group of its own in a container).
std::uint64_t least_up_from(std::string group, const std::string& mount_root,
                            const std::string& point, const char* file) {
  if (mount_root != "/") {
    const bool below = group.rfind(mount_root, 0) == 0 &&
                       (group.size() == mount_root.size() || group[mount_root.size()] == '/');
    group = below ? group.substr(mount_root.size()) : "";
  }
  std::uint64_t limit = UINT64_MAX;
  while (!group.empty() && group.back() == '/') group.pop_back();
  for (;;) {
    limit = std::min(limit, number_in(point + group + "/" + file));
    if (group.empty()) return limit;
    const std::size_t slash = group.find_last_of('/');
    group.erase(slash == std::string::npos ? 0 : slash);
  }
}

}  // namespace

std::uint64_t control_group_limit(const std::string& cgroups, const std::string& mountinfo,
                                  const std::string& root) {
  const std::string v2_group = group_in(cgroups, false), v1_group = group_in(cgroups, true);
  std::uint64_t limit = UINT64_MAX;
  std::istringstream lines(mountinfo);
  // ID PARENT DEVICE ROOT POINT OPTIONS [OPTIONAL...] - TYPE SOURCE SUPER-OPTIONS
  for (std::string line; std::getline(lines, line);) {
    std::istringstream words(line);
    const std::vector<std::string> f{std::istream_iterator<std::string>(words), {}};
    const auto dash = std::find(f.begin(), f.end(), "-");
    if (f.size() < 5 || f.end() - dash < 4) continue;
    const std::string& type = dash[1];
    if (type == "cgroup2" && !v2_group.empty()) {
      limit = std::min(limit, least_up_from(v2_group, f[3], root + f[4], V2_LIMIT));
    } else if (type == "cgroup" && lists(dash[3], "memory") && !v1_group.empty()) {
      limit = std::min(limit, least_up_from(v1_group, f[3], root + f[4], V1_LIMIT));
    }
  }
  return limit;
}

std::uint64_t memory_limit_bytes() {
  std::uint64_t limit = UINT64_MAX;
  const long pages = sysconf(_SC_PHYS_PAGES), page = sysconf(_SC_PAGESIZE);
  if (pages > 0 && page > 0)
    limit = static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(page);
  limit = std::min(limit, control_group_limit(text_of("/proc/self/cgroup"),
                                              text_of("/proc/self/mountinfo"), ""));
  rlimit address_space{};
  if (getrlimit(RLIMIT_AS, &address_space) == 0 && address_space.rlim_cur != RLIM_INFINITY) {
    limit = std::min<std::uint64_t>(limit, address_space.rlim_cur);
  }
  return limit;
}

}  // namespace engine
