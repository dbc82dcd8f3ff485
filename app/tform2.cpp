#include "app/tform2.h"

namespace trapezola {

TForm2* Form2 = nullptr;

TForm2::TForm2() {
  SetText("Form2");
  SetOuterBounds(49, 57, 814, 587);
}

}  // namespace trapezola
