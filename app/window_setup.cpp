#include "app/window_setup.h"

#include "app/tform2.h"
#include "ui/lyapunov_window/tform3.h"
#include "ui/main_window/tform1.h"

namespace trapezola {

void createWindows(toolkit::TApplication& application) {
  application.CreateForm(Form1);
  application.CreateForm(Form2);
  application.CreateForm(Form3);
}

}  // namespace trapezola
