// The pointer read-out over the portrait and the corner forecast of a left click.
#include "ui/main_window/tform1.h"

namespace trapezola {

void TForm1::faziskepMouseMove(toolkit::TShiftState, int, int) {}

void TForm1::faziskepClick() {}

}  // namespace trapezola
