#include "core/geometry/ball_state.h"

namespace trapezola {

BallStateRecord BallState;

}  // namespace trapezola
