// Notation: p is the parameter that moves (b or R8/R), a state the orbit
// solved at one p; g = trace - target is the function whose change of sign a
// crossing bisects.
#include "core/analysis/orbit_continuation.h"

#include <cmath>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "core/analysis/chaos_atlas.h"
#include "core/geometry/table_geometry.h"

namespace trapezola {

namespace {

// A step that fails is halved this many times at most (64 sub-steps).
constexpr int maxStepHalvings = 6;
// A corrected first point further than this from its prediction (in s and
// phi) belongs to another orbit.
constexpr double maxCorrection = 0.25;

enum class Outcome { ok, noConvergence, corner, otherOrbit };

struct State {
  double p = 0;
  double s4 = 0;  // the table's perimeter
  PeriodicOrbitSolution orbit;
};

class Follower {
 public:
  explicit Follower(const ContinuationRequest& request) : request_(request) {}

  const char* parameterName() const { return request_.parameter == FamilyParameter::b ? "b" : "R8/R"; }

  Outcome solve(double p, PhasePoint guess, const State* reference, State& out) const {
    const BilliardTable table = request_.parameter == FamilyParameter::b ? buildTable(p, request_.fixed)
                                                                         : buildTable(request_.fixed, p);
    out.p = p;
    out.s4 = table.s4;
    out.orbit = solvePeriodicOrbit(table, request_.period, guess);
    if (!out.orbit.converged) return Outcome::noConvergence;
    if (reference == nullptr) return Outcome::ok;
    if (out.orbit.turns != reference->orbit.turns) return Outcome::otherOrbit;
    const PhasePoint& x = out.orbit.points[0];
    if (std::hypot(perimeterDifference(guess.s, x.s, table.s4), x.phi - guess.phi) > maxCorrection) {
      return Outcome::otherOrbit;
    }
    if (out.orbit.arcs != reference->orbit.arcs) return Outcome::corner;
    return Outcome::ok;
  }

  // The first point expected at p from the states so far.
  static PhasePoint predict(const std::vector<State>& states, double p) {
    const State& last = states.back();
    PhasePoint x = last.orbit.points[0];
    if (states.size() < 2) return x;
    const State& before = states[states.size() - 2];
    const double f = (p - last.p) / (last.p - before.p);
    const PhasePoint& a = before.orbit.points[0];
    // The difference in s is taken round the perimeter: the first point may
    // have passed corner 1, from s near s4 to s near 0.
    x.s += f * perimeterDifference(a.s, x.s, last.s4);
    x.phi += f * (x.phi - a.phi);
    return x;
  }

  static PhasePoint between(const State& a, const State& b, double p) {
    const double f = (p - a.p) / (b.p - a.p);
    const PhasePoint& x = a.orbit.points[0];
    const PhasePoint& y = b.orbit.points[0];
    return PhasePoint{x.s + f * perimeterDifference(x.s, y.s, a.s4), x.phi + f * (y.phi - x.phi)};
  }

  // Where between a (solved) and p (failed) the orbit is lost, by bisection.
  double locateLoss(const State& a, double p, Outcome& outcome) const {
    State lo = a;
    double hi = p;
    while (std::fabs(hi - lo.p) > bifurcationWidth) {
      const double mid = 0.5 * (lo.p + hi);
      State trial;
      const Outcome o = solve(mid, lo.orbit.points[0], &lo, trial);
      if (o == Outcome::ok) {
        lo = trial;
      } else {
        hi = mid;
        outcome = o;
      }
    }
    return 0.5 * (lo.p + hi);
  }

  // Bisects every crossing of |trace| = 2 between the last two states.
  void findCrossings(const State& a, const State& b, std::vector<Bifurcation>& out) const {
    Bifurcation found[2];
    int count = 0;
    for (const double target : {2.0, -2.0}) {
      const double ga = a.orbit.trace - target;
      const double gb = b.orbit.trace - target;
      // Within the rounding bound the side is unknown: a trace that touches
      // -2 (the symmetric two-bounce orbits) is no crossing.
      if (!(std::fabs(ga) > a.orbit.traceBound && std::fabs(gb) > b.orbit.traceBound)) continue;
      if ((ga < 0) == (gb < 0)) continue;
      State lo = a;
      State hi = b;
      while (std::fabs(hi.p - lo.p) > bifurcationWidth) {
        const double mid = 0.5 * (lo.p + hi.p);
        State trial;
        if (solve(mid, between(lo, hi, mid), &lo, trial) != Outcome::ok) break;
        if ((trial.orbit.trace - target < 0) == (ga < 0)) {
          lo = std::move(trial);
        } else {
          hi = std::move(trial);
        }
      }
      found[count++] = Bifurcation{0.5 * (lo.p + hi.p), target, target < 0};
    }
    if (count == 2 && std::fabs(found[1].parameter - a.p) < std::fabs(found[0].parameter - a.p)) {
      std::swap(found[0], found[1]);
    }
    for (int i = 0; i < count; ++i) out.push_back(found[i]);
  }

  // Moves the orbit on to p, in halves where a whole step fails. Returns the
  // outcome of the last attempt; on failure `lostAt` is the parameter at which
  // it failed.
  Outcome advance(std::vector<State>& states, double p, int depth, std::vector<Bifurcation>& crossings,
                  double& lostAt) const {
    State next;
    const Outcome o = solve(p, predict(states, p), &states.back(), next);
    if (o == Outcome::ok) {
      findCrossings(states.back(), next, crossings);
      states.push_back(std::move(next));
      return o;
    }
    if (depth >= maxStepHalvings) {
      lostAt = p;
      return o;
    }
    const double mid = 0.5 * (states.back().p + p);
    const Outcome first = advance(states, mid, depth + 1, crossings, lostAt);
    if (first != Outcome::ok) return first;
    return advance(states, p, depth + 1, crossings, lostAt);
  }

 private:
  const ContinuationRequest& request_;
};

std::string describeLoss(const char* name, Outcome outcome, double at, double lastGood) {
  char text[200];
  switch (outcome) {
    case Outcome::corner:
      std::snprintf(text, sizeof text, "a point of the orbit reaches a corner at %s = %.17g", name, at);
      break;
    case Outcome::otherOrbit:
      std::snprintf(text, sizeof text, "Newton goes to another orbit beyond %s = %.17g", name, at);
      break;
    default:
      std::snprintf(text, sizeof text, "Newton does not converge beyond %s = %.17g (last step at %.17g)",
                    name, at, lastGood);
      break;
  }
  return text;
}

}  // namespace

const char* bifurcationKindName(const Bifurcation& bifurcation) {
  return bifurcation.periodDoubling ? "period doubling" : "tangent";
}

double continuationValue(const ContinuationRequest& request, int k) {
  return AtlasAxis{request.from, request.to, request.count}.value(k);
}

Continuation continueOrbit(const ContinuationRequest& request, const std::atomic<bool>* stop) {
  Continuation result;
  const Follower follower(request);
  std::vector<State> states;
  State first;
  const double p0 = continuationValue(request, 0);
  if (follower.solve(p0, request.near, nullptr, first) != Outcome::ok) {
    char text[160];
    std::snprintf(text, sizeof text, "Newton does not converge from the start guess at %s = %.17g",
                  follower.parameterName(), p0);
    result.stopped = text;
    return result;
  }
  states.push_back(std::move(first));
  const auto record = [&](const State& s) {
    const PeriodicOrbitSolution& o = s.orbit;
    result.steps.push_back(ContinuationStep{s.p, o.points[0], o.length, o.trace, o.hasClass, o.orbitClass});
  };
  record(states.back());
  for (int k = 1; k < request.count; ++k) {
    if (stop != nullptr && stop->load(std::memory_order_relaxed)) {
      result.stopped = "interrupted";
      return result;
    }
    const double p = continuationValue(request, k);
    double lostAt = p;
    const Outcome o = follower.advance(states, p, 0, result.bifurcations, lostAt);
    if (o != Outcome::ok) {
      Outcome located = o;
      const double at = follower.locateLoss(states.back(), lostAt, located);
      result.stopped = describeLoss(follower.parameterName(), located, at, states.back().p);
      return result;
    }
    record(states.back());
    // Only the last two states predict the next one.
    if (states.size() > 2) states.erase(states.begin(), states.end() - 2);
  }
  return result;
}

}  // namespace trapezola
