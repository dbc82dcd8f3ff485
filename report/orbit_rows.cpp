#include "report/orbit_rows.h"

#include "core/analysis/precision_horizon.h"
#include "core/dynamics/bounce.h"
#include "core/dynamics/orbit_walk.h"
#include "core/geometry/ball_state.h"
#include "core/geometry/table_geometry.h"

namespace trapezola {

namespace {

// The row's fields, without the line's end.
void writeOrbitFields(BufferedOutput& out, const OrbitRow& row) {
  out.integer(row.bounce);
  out.character(',');
  out.real(row.s);
  out.character(',');
  out.real(row.phi);
  out.character(',');
  out.integer(row.arc);
  out.character(',');
  out.real(row.x);
  out.character(',');
  out.real(row.y);
  out.character(',');
  out.real(row.hitDistance);
}

OrbitRow rowOf(std::int64_t n, double s, double phi, const Ball& ball) {
  return OrbitRow{n, s, phi, ball.arc, ball.x, ball.y, ball.hitDistance};
}

void writeShadowedRow(BufferedOutput& out, const OrbitRow& row, double drift) {
  writeOrbitFields(out, row);
  out.character(',');
  out.real(drift);
  out.character('\n');
}

}  // namespace

std::int64_t writeOrbit(const OrbitRequest& request, BufferedOutput& out) {
  const BilliardTable table = buildTable(request.b, request.rr);
  OrbitWalk walk(table, request.distance, request.angleDegrees, request.bounces, request.every);
  out.text("bounce,s,phi,arc,x,y,hitDistance\n");
  writeOrbitFields(out, walk.startRow());
  out.character('\n');
  walk.advance(request.bounces, [&out](const OrbitRow& row) {
    writeOrbitFields(out, row);
    out.character('\n');
    return !out.failed();
  });
  return walk.leftAt();
}

std::int64_t writeShadowedOrbit(const OrbitRequest& request, double tolerance, BufferedOutput& out) {
  ShadowedOrbit orbit(request.b, request.rr, request.distance, request.angleDegrees);
  out.text("bounce,s,phi,arc,x,y,hitDistance,drift\n");
  writeShadowedRow(out, rowOf(0, orbit.startS(), orbit.startPhi(), orbit.ball()), orbit.drift());
  bool horizonShown = false;
  RowSchedule schedule(request.bounces, request.every);
  for (std::int64_t n = 1; n <= request.bounces; ++n) {
    if (orbit.bounce() != BounceStatus::ok) return n;
    const bool beyond = !horizonShown && !(orbit.drift() <= tolerance);
    if (!schedule.rowAt(n, beyond)) continue;
    horizonShown = horizonShown || beyond;
    const Ball& ball = orbit.ball();
    writeShadowedRow(out, rowOf(n, ball.s, ball.phi, ball), orbit.drift());
    if (out.failed()) return 0;
  }
  return 0;
}

}  // namespace trapezola
