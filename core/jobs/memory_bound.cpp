#include "core/jobs/memory_bound.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <limits>

namespace trapezola {

namespace {

constexpr std::uint64_t unbounded = std::numeric_limits<std::uint64_t>::max();

// A cgroup file's limit: a number of bytes, or "max" (none). Version 1 writes
// "no limit" as a number near 2^63.
std::uint64_t cgroupLimit(const std::string& file) {
  std::ifstream in(file);
  std::string text;
  if (!(in >> text) || text == "max") return unbounded;
  try {
    const unsigned long long v = std::stoull(text);
    return v >= (std::uint64_t{1} << 60) ? unbounded : v;
  } catch (const std::exception&) {
    return unbounded;
  }
}

// The limit of the process's cgroup and of each group above it. Inside a
// container the group's path may not exist under /sys/fs/cgroup: the walk up
// then reaches the container's own root.
std::uint64_t cgroupBound() {
  std::uint64_t bound = unbounded;
  std::ifstream groups("/proc/self/cgroup");
  std::string line;
  while (std::getline(groups, line)) {
    std::string root;
    std::string group;
    std::string limitFile;
    if (line.rfind("0::", 0) == 0) {
      root = "/sys/fs/cgroup";
      group = line.substr(3);
      limitFile = "/memory.max";
    } else if (const auto at = line.find(":memory:"); at != std::string::npos) {
      root = "/sys/fs/cgroup/memory";
      group = line.substr(at + 8);
      limitFile = "/memory.limit_in_bytes";
    } else {
      continue;
    }
    for (;;) {
      while (!group.empty() && group.back() == '/') group.pop_back();
      bound = std::min(bound, cgroupLimit(root + group + limitFile));
      const auto slash = group.find_last_of('/');
      if (slash == std::string::npos) break;
      group.resize(slash);
    }
  }
  return bound;
}

std::uint64_t limitOf(int resource) {
  struct rlimit limit {};
  if (::getrlimit(resource, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return unbounded;
  return static_cast<std::uint64_t>(limit.rlim_cur);
}

// The kernel's MemAvailable: what new work can have without swapping (free
// memory and the caches it can give back); the physical memory where
// /proc/meminfo does not say.
std::uint64_t availableMemory() {
  std::ifstream meminfo("/proc/meminfo");
  std::string key;
  unsigned long long kilobytes = 0;
  std::string unit;
  while (meminfo >> key >> kilobytes >> unit) {
    if (key == "MemAvailable:") return static_cast<std::uint64_t>(kilobytes) * 1024;
  }
  const long pages = ::sysconf(_SC_PHYS_PAGES);
  const long pageSize = ::sysconf(_SC_PAGESIZE);
  if (pages > 0 && pageSize > 0) return static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(pageSize);
  return unbounded;
}

}  // namespace

std::uint64_t memoryBound() {
  return std::min({availableMemory(), limitOf(RLIMIT_AS), limitOf(RLIMIT_DATA), cgroupBound()});
}

std::string memoryText(double bytes) {
  // Characters, not pointers: the table needs no relocation and is read-only.
  static constexpr char units[][6] = {"bytes", "kB", "MB", "GB", "TB", "PB", "EB"};
  int unit = 0;
  while (bytes >= 999.5 && unit < 6) {
    bytes /= 1000;
    ++unit;
  }
  char text[32];
  if (unit == 0) {
    std::snprintf(text, sizeof text, "%.0f bytes", bytes);
  } else {
    std::snprintf(text, sizeof text, bytes < 9.95 ? "%.1f %s" : "%.0f %s", bytes, units[unit]);
  }
  return text;
}

std::optional<std::string> memoryRefusal(double bytes) {
  const std::uint64_t bound = memoryBound();
  if (bytes <= static_cast<double>(bound)) return std::nullopt;
  return "would need about " + memoryText(bytes) + " of memory, more than the " +
         memoryText(static_cast<double>(bound)) +
         " this process may use (the least of the available memory, ulimit -v, ulimit -d and the cgroup's "
         "limit)";
}

}  // namespace trapezola
