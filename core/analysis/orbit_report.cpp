#include "core/analysis/orbit_report.h"

#include <algorithm>
#include <cmath>
#include <sstream>
#include <string>

#include "core/analysis/lgtr_series.h"
#include "core/geometry/ball_state.h"
#include "core/geometry/boundary.h"
#include "core/geometry/table_geometry.h"

namespace trapezola {

OrbitReport analyseOrbit(const OrbitReportRequest& request, LgTrFileWriter* file,
                         const std::atomic<bool>* stop) {
  // Launched first, as a go run leaves the ball before a right click: the
  // launch names arc 1 in the hit record.
  const BilliardTable table = buildTable(request.b, request.rr);
  const double phi = request.phi ? *request.phi : startAngleRadians(request.angleDegrees);
  Ball ball;
  launch(table, ball, request.distance, std::cos(phi));
  const double epsilon = -request.sensitivity * 0.001;
  OrbitReport report;
  report.analysis = analysePeriodicOrbit(table, ball, request.distance, phi, epsilon, request.typedPeriod);
  const PeriodicOrbitAnalysis& analysis = report.analysis;

  // The series goes through the data file's text, as the window's fit reads it.
  report.series.reserve(static_cast<std::size_t>(std::max(request.blockCount, 0)));
  std::string lines;
  runLgTrSeries(table, ball, analysis.matrixStart, request.blockSize, request.blockCount,
                [&](int block, double value) {
                  report.series.push_back(value);
                  lines += formatLgTrLine(block, value);
                  if (file != nullptr) file->add(block, value);
                  if (stop != nullptr && stop->load(std::memory_order_relaxed)) throw AnalysisStopped();
                });
  std::istringstream written(lines);
  const std::vector<LgTrLine> readBack = readLgTrLines(written, request.blockCount);
  try {
    report.fit = fitLgTrLines(readBack, 0, 0, request.blockSize);
  } catch (const LyapunovFitError&) {
    // Too few lines (a single block) or non-finite values: no fit to report.
  }

  // The orbit from the start as the analysis follows it: the searches go on one
  // from another, and the series starts where they stopped (a typed period's
  // product and series both start at the start).
  std::int64_t followed = static_cast<std::int64_t>(request.blockCount) * request.blockSize;
  if (analysis.searched) {
    followed += std::int64_t{analysis.returnCounts[0]} + analysis.returnCounts[1] + analysis.returnCounts[2];
  } else if (analysis.hasMonodromy) {
    followed = std::max<std::int64_t>(followed, analysis.period);
  }
  report.followedBounces = followed;
  report.trustedBounces = trustedBounces(request.b, request.rr, request.distance, request.angleDegrees,
                                         request.shadowTolerance, followed, request.phi);
  return report;
}

}  // namespace trapezola
