// A point of the phase space: the perimeter coordinate s of a bounce and the
// angle phi from the counter-clockwise tangent to the outgoing direction.
#pragma once

namespace trapezola {

struct PhasePoint {
  double s = 0;
  double phi = 0;

  bool operator==(const PhasePoint&) const = default;
};

}  // namespace trapezola
