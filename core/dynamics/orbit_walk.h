// The rows of one orbit, as trapezola-cli orbit prints them and the Python
// module returns them: bounce 0 is the start as a fresh "go" run places it,
// then every K-th bounce and always the last.
//
// A row holds the perimeter coordinate s (arc length from corner 1, the top
// right corner, counter-clockwise), phi (radians from the counter-clockwise
// tangent to the outgoing direction), the arc hit (1 top, 2 left, 3 bottom,
// 4 right), the point (x, y) in table coordinates and the free path that ended
// at the bounce.
#pragma once

#include <cmath>
#include <cstdint>

#include "core/dynamics/bounce.h"
#include "core/geometry/ball_state.h"
#include "core/geometry/boundary.h"
#include "core/geometry/table_geometry.h"

namespace trapezola {

struct OrbitRow {
  std::int64_t bounce = 0;
  double s = 0;
  double phi = 0;
  int arc = 0;
  double x = 0;
  double y = 0;
  double hitDistance = 0;
};

// Rows kept from `bounces` bounces at every `every`-th (every >= 1): the start,
// the multiples of `every`, and the last bounce when it is not one.
inline std::int64_t orbitRowCount(std::int64_t bounces, std::int64_t every) {
  return 1 + bounces / every + (bounces % every != 0 ? 1 : 0);
}

// Which bounces of a walk of `bounces` bounces get a row: every `every`-th
// (every >= 1) and the last. A countdown instead of n % every keeps the division
// out of the bounce loop.
class RowSchedule {
 public:
  RowSchedule(std::int64_t bounces, std::int64_t every)
      : bounces_(bounces), every_(every), untilRow_(every) {}

  // Asked once for each bounce n = 1, 2, ... in order. `extra` asks for a row
  // that is not due; the count to the next due row goes on unchanged.
  bool rowAt(std::int64_t n, bool extra = false) {
    if (--untilRow_ != 0 && n != bounces_ && !extra) return false;
    if (untilRow_ == 0) untilRow_ = every_;
    return true;
  }

 private:
  std::int64_t bounces_;
  std::int64_t every_;
  std::int64_t untilRow_;
};

// One orbit walked in steps: a caller may stop between two calls of advance
// (to answer an interrupt, to write out what it has) and go on where it was.
// The table must outlive the walk.
class OrbitWalk {
 public:
  OrbitWalk(const BilliardTable& table, double distance, double angleDegrees, std::int64_t bounces,
            std::int64_t every)
      : table_(table), bounces_(bounces), schedule_(bounces, every) {
    const double angle = startAngleRadians(angleDegrees);
    const double startS = launch(table_, ball_, distance, std::cos(angle));
    // Bounce 0 is the launch: the start point, its perimeter coordinate in
    // [0, s4) and the start angle as typed, in radians (not the arccosine of
    // its cosine, which is 0 for every angle below 1e-8 radians); arc is 1 and
    // hitDistance 0, as a launch leaves them.
    start_ = row(0, perimeterCoordinateInRange(startS, table_.s4), angle);
  }

  const OrbitRow& startRow() const { return start_; }
  std::int64_t bouncesDone() const { return done_; }
  bool finished() const { return done_ >= bounces_ || leftAt_ != 0; }
  // The bounce whose collision search found no arc (the orbit left the
  // table), or 0.
  std::int64_t leftAt() const { return leftAt_; }

  // Bounces on up to bounce `until` (at most the walk's last), handing each
  // row to `take(const OrbitRow&)`, which returns false to stop at once.
  // Returns false when `take` stopped the walk or the orbit left the table.
  template <typename Take>
  bool advance(std::int64_t until, Take&& take) {
    if (until > bounces_) until = bounces_;
    // The counts live in locals: as members, every bounce's calls would make
    // each a store and a load.
    RowSchedule schedule = schedule_;
    bool going = true;
    std::int64_t n = done_ + 1;
    for (; n <= until; ++n) {
      // A launched ball always names an arc, so the status is never badArcIndex.
      if (bounce(table_, ball_) != BounceStatus::ok) {
        leftAt_ = n;
        going = false;
        break;
      }
      if (!schedule.rowAt(n)) continue;
      if (!take(row(n, ball_.s, ball_.phi))) {
        ++n;
        going = false;
        break;
      }
    }
    done_ = n - 1;
    schedule_ = schedule;
    return going;
  }

 private:
  OrbitRow row(std::int64_t n, double s, double phi) const {
    return OrbitRow{n, s, phi, ball_.arc, ball_.x, ball_.y, ball_.hitDistance};
  }

  const BilliardTable& table_;
  Ball ball_;
  std::int64_t bounces_;
  RowSchedule schedule_;
  std::int64_t done_ = 0;
  std::int64_t leftAt_ = 0;
  OrbitRow start_;
};

}  // namespace trapezola
