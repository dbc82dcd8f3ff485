// One bounce of the billiard map, as every caller that does not plot performs it:
// collision search, reflection, then the hit point becomes the position and the
// reflected direction the direction. Callers that plot put their plot step
// between the two copies.
#pragma once

#include "core/dynamics/collision.h"
#include "core/dynamics/reflection.h"
#include "core/geometry/ball_state.h"

namespace trapezola {

inline void bounce() {
  findHit();
  BallStateRecord& ball = BallState;
  reflect(ball.hitX, ball.hitY, ball.hitCentreX, ball.hitCentreY, ball.hitRadius, ball.arc);
  ball.x = ball.hitX;
  ball.y = ball.hitY;
  ball.dx = ball.newDx;
  ball.dy = ball.newDy;
}

}  // namespace trapezola
