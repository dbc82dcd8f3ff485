// Periodic orbits found by Newton's method on the n-fold billiard map.
//
// Conventions: a phase point (s, phi) is the perimeter coordinate s (arc
// length from corner 1, the top right corner, counter-clockwise, 0 <= s <= s4)
// and phi, the angle in radians from the counter-clockwise tangent to the
// outgoing direction (0 < phi < pi). F is the billiard map, one bounce. An orbit
// of period n and rotation number m/n returns to its start after n bounces
// while going m times round the perimeter counter-clockwise: the arcs of
// perimeter from each bounce point to the next add up to m s4.
//
// The Jacobian of F^n in (s, phi) is the monodromy product that the periodic
// orbit analysis multiplies (monodromy.h), brought into (s, phi) at both ends:
// each bounce matrix there acts on (theta, y), the direction angle of the ray
// and its offset across it, with the mirror's reversal of orientation folded
// into every factor, so that
//   DF^n = (-1)^n P(end)^-1 M P(start),   P = (1/R   1 )
//                                              (-sin phi 0)
// for a point on an arc of radius R (theta = ds/R + dphi, y = -sin phi ds).
// Newton solves (DF^n - I) dx = -(F^n(x) - x). Where the orbit is closed, the
// trace of DF^n is (-1)^n times the analysis's trace: the two agree for even
// periods; for odd ones the analysis's trace has the opposite sign (a circle's
// period-3 orbit shows -2 there, +2 here). The orbit's class is the same
// either way.
#pragma once

#include <vector>

#include "core/analysis/monodromy.h"
#include "core/geometry/phase_point.h"
#include "core/geometry/table_geometry.h"

namespace trapezola {

// The residual below which an orbit counts as found, where it is not
// unstable: the larger of |s error| (taken round the perimeter) and |phi error|
// after n bounces. Newton goes on as long as a step lowers the residual; it
// ends within a few ulps of s4 (1e-15) for orbits of moderate trace, and near
// n eps |DF^n| for strongly hyperbolic ones, where the rounding of each bounce
// grows by the Jacobian of the bounces after it before the orbit closes.
inline constexpr double periodicResidualTolerance = 1e-11;
inline constexpr int maxNewtonIterations = 60;
// The longest period the solver takes: every Newton step bounces n times.
inline constexpr int maxSolverPeriod = 100000;

// F^n from one phase point: where the orbit is after n bounces, how far it
// went, and the product of its bounce matrices.
struct PeriodMap {
  // False when a bounce found no arc, or an angle left (0, pi): then nothing
  // below means anything.
  bool valid = false;
  PhasePoint end;
  int turns = 0;             // m: the whole turns round the perimeter, rounded
  double residual = 0;       // max(|s error|, |phi error|)
  double sError = 0;         // s(end) - s(start), round the perimeter, in [-s4/2, s4/2)
  double phiError = 0;       // phi(end) - phi(start)
  double length = 0;         // the sum of the free paths
  Monodromy monodromy;       // the analysis's product, bounce by bounce
  double largestFactor = 0;  // the largest entry sum of one bounce matrix
  Monodromy jacobian;        // DF^n in (s, phi): m11 = ds'/ds, m12 = ds'/dphi, ...
};

// Places a ball at (s, phi) as the analysis places its start, bounces it n
// times and fills `map`. Returns map.valid. Allocates nothing.
bool evaluatePeriodMap(const BilliardTable& table, int period, PhasePoint start, PeriodMap& map);

struct PeriodicOrbitSolution {
  bool converged = false;
  int period = 0;
  int turns = 0;  // the rotation number is turns / period, not reduced
  // The n bounce points, each the bounce of the one before; points[0] is the
  // orbit's point nearest the start guess (in s round the perimeter and phi).
  std::vector<PhasePoint> points;
  // The arc of each point, 1 top, 2 left, 3 bottom, 4 right: at a corner the
  // one whose collision search took the bounce.
  std::vector<int> arcs;
  double length = 0;
  // The analysis's product from points[0] times (-1)^n: its trace is that of
  // DF^n, and it has DF^n's eigenvalues.
  Monodromy monodromy;
  double trace = 0;
  double traceBound = 0;  // traceRoundingBound, as the analysis allows it
  bool hasClass = false;  // false for a trace or bound that is not a number
  OrbitClass orbitClass = OrbitClass::parabolic;
  double residual = 0;  // of points[0]; for no convergence, of the best iterate
  int iterations = 0;
};

// Damped Newton from `guess` on F^n(x) = x (n = period >= 1): each step is cut
// in half until it lowers the residual, at most 0.5 long in (s, phi). Where
// DF^n - I is (nearly) singular, a parabolic orbit, the step is its
// least-squares solution. Converged when the best residual is at most
// residualTolerance; the points, trace and class are then those of the
// orbit from its point nearest the guess, polished once more from there.
PeriodicOrbitSolution solvePeriodicOrbit(const BilliardTable& table, int period, PhasePoint guess);

// The residual at which an orbit of period n with Jacobian J counts as found:
// periodicResidualTolerance + 64 n eps |J| (|J| the sum of the absolute
// entries), the rounding floor of an unstable orbit with the factor the trace's
// rounding bound allows, but never above maxPeriodicResidual: an orbit so
// unstable that doubles cannot close it better after n bounces (|J| beyond
// about 1e5 / n) is not found this way.
inline constexpr double maxPeriodicResidual = 1e-9;
double residualTolerance(int period, const Monodromy& jacobian);

// The arc (1..4) that holds perimeter coordinate s (wrapped) and its radius.
int arcAtPerimeter(const BilliardTable& table, double s);
double arcRadius(const BilliardTable& table, int arc);

// b - a round the perimeter of length s4, in [-s4/2, s4/2).
double perimeterDifference(double a, double b, double s4);

}  // namespace trapezola
