// The status line under the main window's portrait during and after an orbit
// run: bounces done, the rate and the time left. Texts only; the window shows
// them.
#pragma once

#include <cstdint>
#include <string>

namespace trapezola {

// A count with a thin blank between groups of three digits: 12 345 678.
std::string groupedCount(std::int64_t count);

// "12 345 of 200 000 bounces, 11.2 million a second, 17 s left" while a run
// goes. `done` and `total` count the whole run; `stretchDone` the bounces since
// it was last started or continued, which took `seconds`. The rate and the time
// left are left out until the stretch has lasted a tenth of a second.
std::string runStatusText(std::int64_t done, std::int64_t total, std::int64_t stretchDone, double seconds);

// After the run: "ready: 200 000 bounces" or "stopped at 12 345 of 200 000
// bounces: continue goes on from there".
std::string runEndText(std::int64_t done, std::int64_t total, bool complete);

}  // namespace trapezola
