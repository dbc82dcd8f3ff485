// Notation: x = (s, phi) a phase point, r = F^n(x) - x the residual vector,
// A = DF^n - I the Newton matrix, d the Newton step. P(R, phi) takes (ds, dphi)
// at a bounce point to (theta, y) of the outgoing ray (see the header).
#include "core/analysis/periodic_solver.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/analysis/periodic_orbit.h"
#include "core/dynamics/bounce.h"
#include "core/geometry/ball_state.h"
#include "core/geometry/boundary.h"

namespace trapezola {

namespace {

// A Newton step longer than this (in the (s, phi) plane) is shortened to it:
// from a rough guess a full step may leap to another orbit.
constexpr double maxNewtonStep = 0.5;
// Halvings of a step before Newton gives up on lowering the residual.
constexpr int maxStepHalvings = 40;
// Below this |det A| / |A|^2, A counts as singular and the step is the
// least-squares one.
constexpr double singularRatio = 1e-9;

struct Matrix2 {
  double a11 = 0, a12 = 0;
  double a21 = 0, a22 = 0;
};

Matrix2 times(const Matrix2& l, const Matrix2& r) {
  return Matrix2{l.a11 * r.a11 + l.a12 * r.a21, l.a11 * r.a12 + l.a12 * r.a22, l.a21 * r.a11 + l.a22 * r.a21,
                 l.a21 * r.a12 + l.a22 * r.a22};
}

// (ds, dphi) -> (theta, y) at a point on an arc of radius R.
Matrix2 phaseToRay(double radius, double phi) {
  return Matrix2{1 / radius, 1, -std::sin(phi), 0};
}

// Its inverse, (theta, y) -> (ds, dphi).
Matrix2 rayToPhase(double radius, double phi) {
  const double sinPhi = std::sin(phi);
  return Matrix2{0, -1 / sinPhi, 1, 1 / (radius * sinPhi)};
}

double norm(double s, double phi) {
  return std::max(std::fabs(s), std::fabs(phi));
}

// Solves A d = -r; the minimum-norm least-squares solution (a small Tikhonov
// term) where A is nearly singular, as on a circle, where every orbit of one
// rotation number has the same (s, phi)-shear and A's first column vanishes.
void newtonStep(const Matrix2& a, double rs, double rphi, double& ds, double& dphi) {
  const double det = a.a11 * a.a22 - a.a12 * a.a21;
  const double size = a.a11 * a.a11 + a.a12 * a.a12 + a.a21 * a.a21 + a.a22 * a.a22;
  if (std::fabs(det) > singularRatio * size) {
    ds = -(a.a22 * rs - a.a12 * rphi) / det;
    dphi = -(-a.a21 * rs + a.a11 * rphi) / det;
    return;
  }
  // (A^T A + mu I) d = -A^T r.
  const double mu = 1e-14 * size + std::numeric_limits<double>::min();
  const double b11 = a.a11 * a.a11 + a.a21 * a.a21 + mu;
  const double b12 = a.a11 * a.a12 + a.a21 * a.a22;
  const double b22 = a.a12 * a.a12 + a.a22 * a.a22 + mu;
  const double g1 = a.a11 * rs + a.a21 * rphi;
  const double g2 = a.a12 * rs + a.a22 * rphi;
  const double bdet = b11 * b22 - b12 * b12;
  ds = -(b22 * g1 - b12 * g2) / bdet;
  dphi = -(-b12 * g1 + b11 * g2) / bdet;
}

struct NewtonResult {
  PhasePoint x;
  double residual = std::numeric_limits<double>::infinity();
  double tolerance = periodicResidualTolerance;  // residualTolerance at x
  int iterations = 0;
  bool valid = false;
};

NewtonResult newton(const BilliardTable& table, int period, PhasePoint x) {
  NewtonResult result;
  PeriodMap map;
  if (!evaluatePeriodMap(table, period, x, map)) return result;
  result.valid = true;
  result.x = x;
  result.residual = map.residual;
  result.tolerance = residualTolerance(period, map.jacobian);
  PeriodMap trial;
  for (int iteration = 0; iteration < maxNewtonIterations && map.residual > 0; ++iteration) {
    const Matrix2 a{map.jacobian.m11 - 1, map.jacobian.m12, map.jacobian.m21, map.jacobian.m22 - 1};
    double ds = 0, dphi = 0;
    newtonStep(a, map.sError, map.phiError, ds, dphi);
    if (!std::isfinite(ds) || !std::isfinite(dphi)) break;
    const double length = std::hypot(ds, dphi);
    if (length > maxNewtonStep) {
      ds *= maxNewtonStep / length;
      dphi *= maxNewtonStep / length;
    }
    bool lowered = false;
    double lambda = 1;
    for (int halving = 0; halving <= maxStepHalvings; ++halving, lambda *= 0.5) {
      const PhasePoint y{wrappedPerimeterCoordinate(x.s + lambda * ds, table.s4), x.phi + lambda * dphi};
      if (!(y.phi > 0 && y.phi < pi)) continue;
      if (evaluatePeriodMap(table, period, y, trial) && trial.residual < map.residual) {
        x = y;
        map = trial;
        lowered = true;
        break;
      }
    }
    if (!lowered) break;
    result.x = x;
    result.residual = map.residual;
    result.tolerance = residualTolerance(period, map.jacobian);
    result.iterations = iteration + 1;
  }
  return result;
}

}  // namespace

double residualTolerance(int period, const Monodromy& jacobian) {
  constexpr double eps = 0x1p-52;
  return std::min(maxPeriodicResidual,
                  periodicResidualTolerance + 64 * static_cast<double>(period) * eps * entrySum(jacobian));
}

int arcAtPerimeter(const BilliardTable& table, double s) {
  s = wrappedPerimeterCoordinate(s, table.s4);
  // The same ranges as the placement: each corner belongs to the arc before it.
  if (s <= table.s1) return 1;
  if (s <= table.s2) return 2;
  if (s <= table.s3) return 3;
  return 4;
}

double arcRadius(const BilliardTable& table, int arc) {
  switch (arc) {
    case 1:
      return table.radiusTop;
    case 3:
      return table.radiusBottom;
    default:
      return table.radiusSide;
  }
}

double perimeterDifference(double a, double b, double s4) {
  double d = std::fmod(b - a, s4);
  if (d < -0.5 * s4) d += s4;
  if (d >= 0.5 * s4) d -= s4;
  return d;
}

bool evaluatePeriodMap(const BilliardTable& table, int period, PhasePoint start, PeriodMap& map) {
  map = PeriodMap{};
  if (period < 1 || !(start.phi > 0 && start.phi < pi) || !std::isfinite(start.s)) return false;
  Ball ball;
  const double s0 = wrappedPerimeterCoordinate(start.s, table.s4);
  // The analysis's placement, so that the product below has the analysis's bits.
  placeAnalysisStart(table, ball, s0, start.phi);
  double previous = s0;
  double advance = 0;
  Monodromy& m = map.monodromy;
  for (int k = 1; k <= period; ++k) {
    if (bounce(table, ball) != BounceStatus::ok) return false;
    if (!(ball.phi > 0 && ball.phi < pi)) return false;
    // The order of monodromyOverPeriod: the product and the bound come out the
    // same as the analysis's (PeriodicSolver.MonodromyIsTheAnalysisProduct).
    applyBounceMatrix(m, ball.hitDistance, ball.hitRadius, ball.phi);
    map.largestFactor =
        std::max(map.largestFactor, bounceMatrixEntrySum(ball.hitDistance, ball.hitRadius, ball.phi));
    map.length += ball.hitDistance;
    // Each bounce moves on counter-clockwise by less than a whole perimeter.
    double step = ball.s - previous;
    if (step < 0) step += table.s4;
    if (step >= table.s4) step -= table.s4;
    advance += step;
    previous = ball.s;
  }
  map.end = PhasePoint{ball.s, ball.phi};
  map.sError = perimeterDifference(s0, ball.s, table.s4);
  map.phiError = ball.phi - start.phi;
  map.residual = norm(map.sError, map.phiError);
  map.turns = static_cast<int>(std::lround((advance - map.sError) / table.s4));

  const Matrix2 mono{m.m11, m.m12, m.m21, m.m22};
  Matrix2 j = times(rayToPhase(ball.hitRadius, ball.phi),
                    times(mono, phaseToRay(arcRadius(table, arcAtPerimeter(table, s0)), start.phi)));
  if (period % 2 != 0) j = Matrix2{-j.a11, -j.a12, -j.a21, -j.a22};
  map.jacobian = Monodromy{j.a11, j.a12, j.a21, j.a22};
  map.valid = std::isfinite(map.residual) && std::isfinite(j.a11) && std::isfinite(j.a12) &&
              std::isfinite(j.a21) && std::isfinite(j.a22);
  return map.valid;
}

PeriodicOrbitSolution solvePeriodicOrbit(const BilliardTable& table, int period, PhasePoint guess) {
  PeriodicOrbitSolution solution;
  solution.period = period;
  if (period < 1 || period > maxSolverPeriod) return solution;
  guess.s = wrappedPerimeterCoordinate(guess.s, table.s4);
  NewtonResult found = newton(table, period, guess);
  solution.residual = found.residual;
  solution.iterations = found.iterations;
  if (!found.valid || !(found.residual <= found.tolerance)) return solution;

  // The orbit's point nearest the guess becomes its first; Newton polishes the
  // orbit again from there, so that the reported residual is that point's.
  std::vector<PhasePoint> points;
  points.reserve(static_cast<std::size_t>(period));
  {
    Ball ball;
    placeAnalysisStart(table, ball, found.x.s, found.x.phi);
    points.push_back(found.x);
    for (int k = 1; k < period; ++k) {
      if (bounce(table, ball) != BounceStatus::ok) return solution;
      points.push_back(PhasePoint{ball.s, ball.phi});
    }
  }
  std::size_t nearest = 0;
  double nearestDistance = std::numeric_limits<double>::infinity();
  for (std::size_t i = 0; i < points.size(); ++i) {
    const double d =
        std::hypot(perimeterDifference(guess.s, points[i].s, table.s4), points[i].phi - guess.phi);
    if (d < nearestDistance) {
      nearestDistance = d;
      nearest = i;
    }
  }
  if (nearest != 0) {
    const NewtonResult again = newton(table, period, points[nearest]);
    if (!again.valid || !(again.residual <= again.tolerance)) return solution;
    found = again;
    solution.iterations += again.iterations;
  }

  PeriodMap map;
  if (!evaluatePeriodMap(table, period, found.x, map)) return solution;
  solution.points.reserve(static_cast<std::size_t>(period));
  Ball ball;
  placeAnalysisStart(table, ball, found.x.s, found.x.phi);
  solution.points.push_back(PhasePoint{wrappedPerimeterCoordinate(found.x.s, table.s4), found.x.phi});
  solution.arcs.assign(static_cast<std::size_t>(period), 0);
  // Each arc is the one whose collision search took the bounce (at a corner,
  // the one whose radius went into the monodromy); the first point's is that
  // of the n-th bounce, which comes back to it. The bounces are those the
  // evaluation above made from the same start, every one of them ok.
  for (int k = 1; k <= period; ++k) {
    bounce(table, ball);
    if (k < period) solution.points.push_back(PhasePoint{ball.s, ball.phi});
    solution.arcs[static_cast<std::size_t>(k % period)] = ball.arc;
  }
  solution.converged = true;
  solution.turns = map.turns;
  solution.length = map.length;
  const double sign = period % 2 == 0 ? 1.0 : -1.0;
  solution.monodromy = Monodromy{sign * map.monodromy.m11, sign * map.monodromy.m12, sign * map.monodromy.m21,
                                 sign * map.monodromy.m22};
  solution.trace = trace(solution.monodromy);
  solution.traceBound = traceRoundingBound(map.monodromy, period, map.largestFactor);
  solution.hasClass = !std::isnan(solution.trace) && !std::isnan(solution.traceBound);
  if (solution.hasClass) solution.orbitClass = classifyTrace(solution.trace, solution.traceBound);
  solution.residual = map.residual;
  return solution;
}

}  // namespace trapezola
