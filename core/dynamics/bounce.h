// One bounce of the billiard map, as every caller that does not plot performs it:
// collision search, reflection, then the hit point becomes the position and the
// reflected direction the direction. Callers that plot use plottedBounce, which
// puts their plot step between the two copies.
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

// One bounce of a plotted run, the one sequence that every picture of an orbit
// (the window's runs, trapezola-cli render and portrait, the benchmarks and the
// golden tests) is drawn by: collision search, reflection, the hit point
// becomes the position, then `plot(ball)` sees the new bounce (s, phi), and
// only then the reflected direction becomes the direction.
//
// Unlike bounce, a search in which no arc accepts ends here, before the
// reflection: reflecting on the previous hit would plot that bounce again and
// send the ball along a direction that belongs to no bounce. The ball then keeps
// its position and direction and the result is noArcAccepted. On badArcIndex the
// ball has not moved either; neither calls plot.
template <typename T, typename Plot>
inline BounceStatus plottedBounce(const BasicTable<T>& table, BasicBall<T>& ball, Plot&& plot) {
  if (findHit(table, ball) == 0) return BounceStatus::noArcAccepted;
  if (reflect(table, ball, ball.hitX, ball.hitY, ball.hitCentreX, ball.hitCentreY, ball.hitRadius,
              ball.arc) == BounceStatus::badArcIndex) {
    return BounceStatus::badArcIndex;
  }
  ball.x = ball.hitX;
  ball.y = ball.hitY;
  plot(static_cast<const BasicBall<T>&>(ball));
  ball.dx = ball.newDx;
  ball.dy = ball.newDy;
  return BounceStatus::ok;
}

}  // namespace trapezola
