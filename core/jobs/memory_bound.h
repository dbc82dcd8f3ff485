// The memory a request of the front ends (trapezola-cli, the Python module)
// may ask for, so that one too large is refused before anything is allocated,
// with the amount it would need, instead of ending in std::bad_alloc.
//
// The bound is the least of: the memory available now (the kernel's
// MemAvailable: free memory and the caches it can give back, what new work can
// have without swapping); the address-space and data
// limits of the process (ulimit -v and ulimit -d, RLIMIT_AS and RLIMIT_DATA);
// and the memory limit of its control group (cgroup v2 memory.max, or v1
// memory.limit_in_bytes), which is what Slurm, systemd and containers set.
// Each request's need is an estimate of its large buffers, stated where the
// request is (atlasMemoryNeed, portraitMemoryNeed, the Python orbit's rows).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace trapezola {

// In bytes, read afresh at each call.
std::uint64_t memoryBound();

// Bytes in decimal units with two significant digits: "5.6 GB", "870 MB".
std::string memoryText(double bytes);

// None when `bytes` fits within memoryBound(); otherwise the refusal's words:
// "would need about 26 GB of memory, more than the 21 GB this process may use (the
// least of the available memory, ulimit -v, ulimit -d and the cgroup's limit)".
std::optional<std::string> memoryRefusal(double bytes);

}  // namespace trapezola
