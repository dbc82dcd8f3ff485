// Notation: a chain is n lifted perimeter coordinates s[0] < s[1] < ... <
// s[n-1] < s[n] = s[0] + m s4 (s[0] = sigma, fixed while the others move); t_i
// is the counter-clockwise unit tangent at point i, n_i = (-t_y, t_x) the inward
// normal, k_i the curvature 1/R of its arc, c_i and u_i the length and unit
// direction of chord i, from point i to point i + 1. The Hessian of L in
// s[1..n-1] is tridiagonal:
//   d2L/ds_i^2      = k_i n_i.(u_{i-1} - u_i) + (1 - (t_i.u_{i-1})^2) / c_{i-1}
//                                               + (1 - (t_i.u_i)^2) / c_i
//   d2L/ds_i ds_i+1 = -(t_i.t_{i+1} - (t_i.u_i)(t_{i+1}.u_i)) / c_i.
#include "core/analysis/birkhoff_catalogue.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "core/geometry/ball_state.h"
#include "core/geometry/boundary.h"

namespace trapezola {

namespace {

// Samples of sigma per orbit point's share of the perimeter (s4 / n): fine
// enough to see a maximum and a minimum of the profile apart.
constexpr int samplesPerPoint = 48;
// A slope below this everywhere is rounding: every start is periodic.
constexpr double familySlope = 1e-11;
// The chain's ascent ends when its gradient is below this, or a Newton step
// shorter than chainStepFloor changes nothing.
constexpr double chainGradientFloor = 1e-15;
constexpr double chainStepFloor = 1e-14;
constexpr int maxChainIterations = 200;
// The shift that makes the Hessian negative definite grows fourfold per try,
// from 1e-6 of its largest diagonal entry: 40 tries reach 1e18 times that.
constexpr int maxShiftWidenings = 40;
// The refinement of a change of sign stops at this width of sigma.
constexpr double sigmaWidth = 1e-13;
constexpr int maxRefinements = 100;
// Two orbits of one rotation number are the same where a point of one lies
// this close (in s and phi) to a point of the other.
constexpr double sameOrbitDistance = 1e-8;
// A pivot of the Hessian's elimination smaller than this times its largest
// diagonal entry has no sign: the orbit is degenerate (a circle's families).
constexpr double pivotFloor = 1e-9;
// Degenerate orbits of one rotation number whose lengths agree this closely
// belong to one family.
constexpr double familyLength = 1e-10;

struct Frame {
  double x = 0, y = 0;
  double tx = 0, ty = 0;
  double curvature = 0;
};

Frame frameAt(const BilliardTable& table, double s) {
  Ball ball;
  placeOnBoundary(table, ball, 0.0, s);
  return Frame{ball.x, ball.y, ball.tx, ball.ty, 1 / arcRadius(table, arcAtPerimeter(table, s))};
}

// The buffers of one rotation number's search; the ascent allocates nothing.
class ChainWork {
 public:
  ChainWork(const BilliardTable& table, int n)
      : table_(table),
        frames_(static_cast<std::size_t>(n)),
        ux_(static_cast<std::size_t>(n)),
        uy_(static_cast<std::size_t>(n)),
        c_(static_cast<std::size_t>(n)),
        gradient_(static_cast<std::size_t>(n)),
        diagonal_(static_cast<std::size_t>(n)),
        offDiagonal_(static_cast<std::size_t>(n)),
        pivots_(static_cast<std::size_t>(n)),
        step_(static_cast<std::size_t>(n)),
        trial_(static_cast<std::size_t>(n) + 1),
        dense_(static_cast<std::size_t>(n) * static_cast<std::size_t>(n)) {}

  // L of the chain s[0..n], with its gradient and Hessian.
  double evaluate(const std::vector<double>& s) {
    const std::size_t n = frames_.size();
    for (std::size_t i = 0; i < n; ++i) frames_[i] = frameAt(table_, s[i]);
    double length = 0;
    for (std::size_t i = 0; i < n; ++i) {
      const Frame& a = frames_[i];
      const Frame& b = frames_[(i + 1) % n];
      const double dx = b.x - a.x;
      const double dy = b.y - a.y;
      c_[i] = std::hypot(dx, dy);
      ux_[i] = dx / c_[i];
      uy_[i] = dy / c_[i];
      length += c_[i];
    }
    for (std::size_t i = 0; i < n; ++i) {
      const Frame& f = frames_[i];
      const std::size_t before = (i + n - 1) % n;
      const double cosIn = f.tx * ux_[before] + f.ty * uy_[before];
      const double cosOut = f.tx * ux_[i] + f.ty * uy_[i];
      gradient_[i] = cosIn - cosOut;
      const double normalIn = -f.ty * ux_[before] + f.tx * uy_[before];
      const double normalOut = -f.ty * ux_[i] + f.tx * uy_[i];
      diagonal_[i] = f.curvature * (normalIn - normalOut) + (1 - cosIn * cosIn) / c_[before] +
                     (1 - cosOut * cosOut) / c_[i];
      const Frame& g = frames_[(i + 1) % n];
      const double tangents = f.tx * g.tx + f.ty * g.ty;
      const double nextCos = g.tx * ux_[i] + g.ty * uy_[i];
      offDiagonal_[i] = -(tangents - cosOut * nextCos) / c_[i];
    }
    return length;
  }

  // dL/ds[0] at the last evaluated chain: the profile's slope.
  double slope() const { return gradient_[0]; }

  // The phase point of the chain's first point: s[0] and the outgoing chord's
  // angle from the tangent.
  PhasePoint firstPoint(const std::vector<double>& s) const {
    const Frame& f = frames_[0];
    const double along = f.tx * ux_[0] + f.ty * uy_[0];
    const double across = f.tx * uy_[0] - f.ty * ux_[0];
    return PhasePoint{wrappedPerimeterCoordinate(s[0], table_.s4), std::atan2(across, along)};
  }

  // The number of positive eigenvalues of the Hessian of L in all of s[0..n-1]
  // (its inertia, from the signs of the pivots of an elimination that takes
  // s[0] last): 0 at a local maximum of the length, 1 at a mountain pass. -1
  // where a pivot is too small to have a sign.
  int ascendingDirections(const std::vector<double>& s) {
    evaluate(s);
    const std::size_t n = frames_.size();
    // Entry (i, j) of the Hessian with the variables in the order s[1], ...,
    // s[n-1], s[0].
    const auto at = [&](std::size_t i, std::size_t j) -> double& { return dense_[i * n + j]; };
    std::fill(dense_.begin(), dense_.end(), 0.0);
    const auto place = [&](std::size_t variable) { return (variable + n - 1) % n; };
    double scale = 0;
    for (std::size_t i = 0; i < n; ++i) {
      at(place(i), place(i)) += diagonal_[i];
      const std::size_t next = (i + 1) % n;
      at(place(i), place(next)) += offDiagonal_[i];
      at(place(next), place(i)) += offDiagonal_[i];
      scale = std::max(scale, std::fabs(diagonal_[i]));
    }
    int positive = 0;
    for (std::size_t k = 0; k < n; ++k) {
      const double pivot = at(k, k);
      if (!(std::fabs(pivot) > pivotFloor * scale)) return -1;
      if (pivot > 0) ++positive;
      for (std::size_t i = k + 1; i < n; ++i) {
        const double f = at(i, k) / pivot;
        for (std::size_t j = k + 1; j < n; ++j) at(i, j) -= f * at(k, j);
      }
    }
    return positive;
  }

  // Maximises L over s[1..n-1] with s[0] and s[n] fixed (Newton on the
  // tridiagonal Hessian, shifted until negative definite, with a line search on
  // L) and returns the maximum.
  double maximise(std::vector<double>& s) {
    const std::size_t n = frames_.size();
    double length = evaluate(s);
    for (int iteration = 0; iteration < maxChainIterations && n > 1; ++iteration) {
      double largest = 0;
      for (std::size_t i = 1; i < n; ++i) largest = std::max(largest, std::fabs(gradient_[i]));
      // A gradient that is not a number (a chord of length zero) ends the
      // ascent where it stands.
      if (!(largest >= chainGradientFloor)) break;
      double shift = 0;
      bool solved = solveShifted(shift);
      for (int widening = 0; !solved && widening < maxShiftWidenings; ++widening) {
        double scale = 1;
        for (std::size_t i = 1; i < n; ++i) scale = std::max(scale, std::fabs(diagonal_[i]));
        shift = shift == 0 ? 1e-6 * scale : 4 * shift;
        solved = solveShifted(shift);
      }
      if (!solved) break;
      double stepSize = 0;
      for (std::size_t i = 1; i < n; ++i) stepSize = std::max(stepSize, std::fabs(step_[i]));
      double gap = table_.s4;
      for (std::size_t i = 0; i < n; ++i) gap = std::min(gap, s[i + 1] - s[i]);
      double lambda = stepSize > 0.25 * gap ? 0.25 * gap / stepSize : 1;
      if (shift == 0 && stepSize < 1e-7) {
        // Quadratic convergence: L no longer shows the gain, so the step is
        // taken whole.
        for (std::size_t i = 1; i < n; ++i) s[i] += lambda * step_[i];
        length = evaluate(s);
        if (stepSize < chainStepFloor) break;
        continue;
      }
      bool raised = false;
      for (int halving = 0; halving < 50; ++halving, lambda *= 0.5) {
        trial_ = s;
        for (std::size_t i = 1; i < n; ++i) trial_[i] += lambda * step_[i];
        if (!ordered(trial_)) continue;
        const double trialLength = evaluate(trial_);
        if (trialLength > length) {
          s.swap(trial_);
          length = trialLength;
          raised = true;
          break;
        }
      }
      if (!raised) {
        length = evaluate(s);
        break;
      }
    }
    return length;
  }

 private:
  bool ordered(const std::vector<double>& s) const {
    for (std::size_t i = 0; i + 1 < s.size(); ++i) {
      const double gap = s[i + 1] - s[i];
      if (!(gap > 0 && gap < table_.s4)) return false;
    }
    return true;
  }

  // (H - shift I) step = -gradient over s[1..n-1]; false when H - shift I is
  // not negative definite (a pivot of its LDL^T not below zero).
  bool solveShifted(double shift) {
    const std::size_t n = frames_.size();
    for (std::size_t i = 1; i < n; ++i) {
      double d = diagonal_[i] - shift;
      double r = -gradient_[i];
      if (i > 1) {
        const double l = offDiagonal_[i - 1] / pivots_[i - 1];
        d -= l * offDiagonal_[i - 1];
        r -= l * step_[i - 1];
      }
      if (!(d < 0)) return false;
      pivots_[i] = d;
      step_[i] = r;
    }
    for (std::size_t i = n - 1; i >= 1; --i) {
      double r = step_[i];
      if (i + 1 < n) r -= offDiagonal_[i] * step_[i + 1];
      step_[i] = r / pivots_[i];
    }
    return true;
  }

  const BilliardTable& table_;
  std::vector<Frame> frames_;
  std::vector<double> ux_, uy_, c_;
  std::vector<double> gradient_, diagonal_, offDiagonal_, pivots_, step_;
  std::vector<double> trial_;
  std::vector<double> dense_;
};

struct ProfileSample {
  double sigma = 0;
  double slope = 0;
  std::vector<double> chain;
};

// The chain moved along the perimeter by `by`, its shape kept: the next
// sample's start.
void shiftChain(std::vector<double>& s, double by) {
  for (double& v : s) v += by;
}

bool sameOrbit(const PeriodicOrbitSolution& a, const PeriodicOrbitSolution& b, double s4) {
  for (const PhasePoint& p : b.points) {
    if (std::hypot(perimeterDifference(a.points[0].s, p.s, s4), p.phi - a.points[0].phi) <
        sameOrbitDistance) {
      return true;
    }
  }
  return false;
}

// The orbit's points as a chain: s[0] its first point's s, each next one
// further counter-clockwise by the arc to the next bounce.
std::vector<double> liftedChain(const PeriodicOrbitSolution& orbit, double s4) {
  std::vector<double> s(orbit.points.size() + 1);
  s[0] = orbit.points[0].s;
  for (std::size_t i = 1; i <= orbit.points.size(); ++i) {
    double step = orbit.points[i % orbit.points.size()].s - orbit.points[i - 1].s;
    if (step < 0) step += s4;
    s[i] = s[i - 1] + step;
  }
  return s;
}

}  // namespace

const char* birkhoffKindName(BirkhoffKind kind) {
  return kind == BirkhoffKind::max ? "max" : "minimax";
}

std::vector<BirkhoffOrbit> birkhoffOrbits(const BilliardTable& table, int m, int n) {
  std::vector<BirkhoffOrbit> found;
  if (n < 2 || m < 1 || m >= n) return found;
  ChainWork work(table, n);
  const int samples = samplesPerPoint * n;
  const double s4 = table.s4;
  std::vector<ProfileSample> profile(static_cast<std::size_t>(samples) + 1);
  std::vector<double> chain(static_cast<std::size_t>(n) + 1);
  for (int i = 0; i <= n; ++i) chain[static_cast<std::size_t>(i)] = m * s4 * i / n;
  for (int k = 0; k <= samples; ++k) {
    const double sigma = s4 * k / samples;
    if (k > 0) shiftChain(chain, sigma - profile[static_cast<std::size_t>(k) - 1].sigma);
    chain[0] = sigma;
    chain[static_cast<std::size_t>(n)] = sigma + m * s4;
    work.maximise(chain);
    profile[static_cast<std::size_t>(k)] = ProfileSample{sigma, work.slope(), chain};
  }

  // A change of sign of the slope may be a kink of the profile, where the
  // constrained maximum jumps from one chain to another, rather than a
  // critical point: the polished orbit's own Hessian tells its kind. Only where
  // the Hessian is singular (a family of orbits of one length, all parabolic:
  // a circle, or the diameters of a bottom arc that spans more than half its
  // circle) does the change of sign tell it, and one orbit stands for the
  // family.
  const auto polishAndKeep = [&](std::vector<double> s, BirkhoffKind profileKind) {
    work.evaluate(s);
    const PeriodicOrbitSolution rough = solvePeriodicOrbit(table, n, work.firstPoint(s));
    if (!rough.converged || rough.turns != m) return;
    // The orbit from its point of smallest s.
    const auto lowest = std::min_element(rough.points.begin(), rough.points.end(),
                                         [](const PhasePoint& a, const PhasePoint& b) { return a.s < b.s; });
    PeriodicOrbitSolution orbit = solvePeriodicOrbit(table, n, *lowest);
    if (!orbit.converged || orbit.turns != m) return;
    const int ascending = work.ascendingDirections(liftedChain(orbit, s4));
    if (ascending > 1) return;
    const bool degenerate = ascending < 0;
    for (const BirkhoffOrbit& known : found) {
      if (sameOrbit(orbit, known.orbit, s4)) return;
      if (degenerate && known.orbit.orbitClass == OrbitClass::parabolic &&
          std::fabs(known.orbit.length - orbit.length) < familyLength) {
        return;
      }
    }
    const BirkhoffKind kind =
        degenerate ? profileKind : (ascending == 0 ? BirkhoffKind::max : BirkhoffKind::minimax);
    found.push_back(BirkhoffOrbit{m, n, kind, std::move(orbit)});
  };

  double steepest = 0;
  for (const ProfileSample& p : profile) steepest = std::max(steepest, std::fabs(p.slope));
  if (steepest < familySlope) {
    // Any start stands for the family; one whose orbit runs into a corner
    // may find no arc there (the acceptance tests of two arcs can both fail
    // within rounding), so the next sample is tried.
    for (std::size_t k = 0; k < profile.size() && found.empty(); ++k) {
      polishAndKeep(profile[(k + profile.size() / 8) % profile.size()].chain, BirkhoffKind::max);
    }
    return found;
  }

  for (std::size_t k = 0; k + 1 < profile.size(); ++k) {
    const ProfileSample& left = profile[k];
    const ProfileSample& right = profile[k + 1];
    const bool rising = left.slope < 0 && right.slope >= 0;
    const bool falling = left.slope > 0 && right.slope <= 0;
    if (!rising && !falling) continue;
    // The Illinois variant of regula falsi on the slope, each chain started
    // from the nearer end's.
    double a = left.sigma, fa = left.slope;
    double b = right.sigma, fb = right.slope;
    std::vector<double> chainA = left.chain, chainB = right.chain;
    int lastSide = 0;
    for (int r = 0; r < maxRefinements && b - a > sigmaWidth && fb != 0; ++r) {
      double c = b - fb * (b - a) / (fb - fa);
      if (!(c > a && c < b)) c = 0.5 * (a + b);
      chain = (c - a < b - c) ? chainA : chainB;
      shiftChain(chain, c - chain[0]);
      chain[0] = c;
      chain[static_cast<std::size_t>(n)] = c + m * s4;
      work.maximise(chain);
      const double fc = work.slope();
      if ((fc < 0) == (fa < 0)) {
        a = c;
        fa = fc;
        chainA = chain;
        if (lastSide == -1) fb *= 0.5;
        lastSide = -1;
      } else {
        b = c;
        fb = fc;
        chainB = chain;
        if (lastSide == 1) fa *= 0.5;
        lastSide = 1;
      }
    }
    polishAndKeep(std::fabs(fa) < std::fabs(fb) ? chainA : chainB,
                  falling ? BirkhoffKind::max : BirkhoffKind::minimax);
  }
  std::stable_sort(found.begin(), found.end(), [](const BirkhoffOrbit& x, const BirkhoffOrbit& y) {
    if (x.kind != y.kind) return x.kind == BirkhoffKind::max;
    if (x.orbit.length != y.orbit.length) return x.orbit.length > y.orbit.length;
    return x.orbit.points[0].s < y.orbit.points[0].s;
  });
  return found;
}

std::vector<BirkhoffOrbit> birkhoffCatalogue(const BilliardTable& table, int maxPeriod,
                                             const std::atomic<bool>* stop) {
  std::vector<BirkhoffOrbit> catalogue;
  for (int n = 2; n <= maxPeriod; ++n) {
    for (int m = 1; 2 * m <= n; ++m) {
      if (std::gcd(m, n) != 1) continue;
      if (stop != nullptr && stop->load(std::memory_order_relaxed)) return catalogue;
      std::vector<BirkhoffOrbit> orbits = birkhoffOrbits(table, m, n);
      for (BirkhoffOrbit& o : orbits) catalogue.push_back(std::move(o));
    }
  }
  return catalogue;
}

}  // namespace trapezola
