// Orbit runs: "go" (Button1) starts or continues a run from the fields, and a
// double click on the portrait runs on from the current ball state.
#include "ui/main_window/tform1.h"

namespace trapezola {

void TForm1::Button1Click() {}

void TForm1::faziskepDblClick() {}

}  // namespace trapezola
