// The Lyapunov-exponent window: the lg(Tr) graph of the last periodic-orbit
// analysis, the fit window chosen with two track bars, and the fitted gradient.
// It stays above the main window, starts hidden, and closing it only hides it.
//
// The handlers live in lyapunov_handlers.cpp.
#pragma once

#include "ui/toolkit/button.h"
#include "ui/toolkit/edit.h"
#include "ui/toolkit/form.h"
#include "ui/toolkit/image.h"
#include "ui/toolkit/label.h"
#include "ui/toolkit/track_bar.h"

namespace trapezola {

class TForm3 : public toolkit::TForm {
  Q_OBJECT

 public:
  TForm3();

  toolkit::TImage* Image1;
  toolkit::TLabel* Label1;
  toolkit::TLabel* Label2;
  toolkit::TLabel* Label3;
  toolkit::TLabel* Label4;
  toolkit::TButton* Button2;
  toolkit::TEdit* Edit1;
  toolkit::TEdit* Edit2;
  toolkit::TEdit* Edit3;
  toolkit::TTrackBar* TrackBar1;
  toolkit::TTrackBar* TrackBar2;
  toolkit::TEdit* Edit4;
  toolkit::TButton* Button1;
  toolkit::TEdit* Edit5;

 public slots:
  void Button2Click();
  void Edit3Change();
  void Image1DblClick();
  void TrackBar1Change();
  void TrackBar2Change();

 private:
  void bindEvents();
};

// The Lyapunov window, from start-up until the program ends.
extern TForm3* Form3;

}  // namespace trapezola
