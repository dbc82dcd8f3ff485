// An auxiliary window without components or behaviour. It exists from start-up
// to the end of the program and is never shown.
#pragma once

#include "ui/toolkit/form.h"

namespace trapezola {

class TForm2 : public toolkit::TForm {
  Q_OBJECT

 public:
  TForm2();
};

extern TForm2* Form2;

}  // namespace trapezola
