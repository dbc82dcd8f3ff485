#include "explorer/phase_window.h"

namespace trapezola {

PhaseWindowRecord PhaseWindow;

}  // namespace trapezola
