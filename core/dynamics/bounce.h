// One bounce of the billiard map, as every caller that does not plot performs it:
// collision search, reflection, then the hit point becomes the position and the
// reflected direction the direction. Callers that plot put their plot step
// between the two copies.
#pragma once

#include "core/dynamics/collision.h"
#include "core/dynamics/reflection.h"
#include "core/geometry/ball_state.h"
#include "core/geometry/table_geometry.h"

namespace trapezola {

// One bounce of `ball` on `table`, allocation-free and touching nothing else.
// After it, s, phi, hitDistance, hitRadius and arc describe the new bounce. On
// badArcIndex the ball has not moved.
// T is double, or long double for the shadow orbit of the precision horizon.
template <typename T>
inline BounceStatus bounce(const BasicTable<T>& table, BasicBall<T>& ball) {
  const bool accepted = findHit(table, ball) != 0;
  if (reflect(table, ball, ball.hitX, ball.hitY, ball.hitCentreX, ball.hitCentreY, ball.hitRadius,
              ball.arc) == BounceStatus::badArcIndex) {
    return BounceStatus::badArcIndex;
  }
  ball.x = ball.hitX;
  ball.y = ball.hitY;
  ball.dx = ball.newDx;
  ball.dy = ball.newDy;
  return accepted ? BounceStatus::ok : BounceStatus::noArcAccepted;
}

// The window's bounce on TableGeometry and BallState; ends the process at a bad
// arc index, as its reflection does.
inline void bounce() {
  if (bounce(TableGeometry, BallState) == BounceStatus::badArcIndex) endOnBadArcIndex();
}

}  // namespace trapezola
