// Continuation of a periodic orbit across the family of tables: the orbit
// followed as b or R8/R steps along a range, with the parameters where its
// stability changes.
//
// Conventions: the orbit is described by its first point (s, phi) (see
// periodic_solver.h), the point nearest the prediction from the steps before;
// the trace is that of DF^n in (s, phi). Along the family an orbit moves
// smoothly while |trace| != 2. Where the trace crosses -2 an eigenvalue passes
// -1: a period doubling. Where it crosses +2 an eigenvalue passes +1: a
// tangent bifurcation (two orbits meet, or a symmetric orbit sheds a pair).
//
// Each step predicts the orbit from the last two (linear extrapolation in the
// parameter; the last one alone at the second step) and corrects it by
// Newton. A step that fails is retried in halves, up to 64 sub-steps. The
// continuation stops, with a reason, where Newton no longer converges, where a
// point of the orbit moves onto another arc (it has passed a corner, where the
// map is not smooth), or where the rotation number changes (Newton went to
// another orbit).
#pragma once

#include <atomic>
#include <string>
#include <vector>

#include "core/analysis/monodromy.h"
#include "core/analysis/periodic_solver.h"

namespace trapezola {

enum class FamilyParameter { b, rr };

struct ContinuationRequest {
  FamilyParameter parameter = FamilyParameter::b;
  // The values from, to and count as the atlas spaces an axis (both ends
  // included, the weighted mean of the ends in between); from may lie above to.
  double from = 0;
  double to = 0;
  int count = 2;
  double fixed = 0;  // the other parameter
  int period = 1;
  PhasePoint near;  // the start guess at the first value
};

struct ContinuationStep {
  double parameter = 0;
  PhasePoint point;
  double length = 0;
  double trace = 0;
  bool hasClass = false;
  OrbitClass orbitClass = OrbitClass::parabolic;
};

struct Bifurcation {
  double parameter = 0;         // within 1e-10 of the crossing
  double trace = 0;             // the value crossed, 2 or -2
  bool periodDoubling = false;  // trace -2; otherwise a tangent bifurcation
};

// "period doubling" or "tangent".
const char* bifurcationKindName(const Bifurcation& bifurcation);

struct Continuation {
  std::vector<ContinuationStep> steps;
  std::vector<Bifurcation> bifurcations;  // in the order they were passed
  std::string stopped;                    // empty when every value was reached
};

// The bisection of a crossing ends at this width of the parameter.
inline constexpr double bifurcationWidth = 1e-10;

// The request's table values must be valid (tableParametersValid); a raised
// `stop` ends the continuation between two steps.
Continuation continueOrbit(const ContinuationRequest& request, const std::atomic<bool>* stop = nullptr);

// The value of step k (0 .. count - 1).
double continuationValue(const ContinuationRequest& request, int k);

}  // namespace trapezola
