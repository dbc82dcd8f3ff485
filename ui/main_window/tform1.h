// The main window: parameter fields, the phase portrait "faziskep", the table
// sketch "vazlat" and the controls around them.
//
// Components keep their layout names and are created in layout order, so later
// ones lie on top where they overlap. The handlers are bound to the components'
// events in the constructor and live in files grouped by behaviour:
//   table_field_handlers.cpp  Edit1Exit, Edit2Change, Edit2Exit (table fields, sketch)
//   start_field_handlers.cpp  Edit1Change, Edit3Change, Edit4Change (start fields)
//   orbit_handlers.cpp        Button1Click, faziskepDblClick (orbit runs)
//   pointer_handlers.cpp      faziskepMouseMove, faziskepClick (read-out, corner forecast)
//   zoom_analysis_handlers.cpp faziskepMouseDown, faziskepMouseUp (zoom, periodic orbits)
//   clear_handler.cpp         Button4Click (clearing the portrait)
//   load_handler.cpp          Button2Click (loading a stored portrait)
#pragma once

#include "ui/toolkit/button.h"
#include "ui/toolkit/check_box.h"
#include "ui/toolkit/color_box.h"
#include "ui/toolkit/combo_box.h"
#include "ui/toolkit/edit.h"
#include "ui/toolkit/events.h"
#include "ui/toolkit/form.h"
#include "ui/toolkit/image.h"
#include "ui/toolkit/label.h"
#include "ui/toolkit/open_picture_dialog.h"
#include "ui/toolkit/progress_bar.h"
#include "ui/toolkit/track_bar.h"

namespace trapezola {

class TForm1 : public toolkit::TForm {
  Q_OBJECT

 public:
  TForm1();

  toolkit::TLabel* Label1;
  toolkit::TLabel* Label2;
  toolkit::TLabel* Label4;
  toolkit::TLabel* Label5;
  toolkit::TLabel* Label6;
  toolkit::TLabel* Label7;
  toolkit::TLabel* Label8;
  toolkit::TImage* faziskep;
  toolkit::TImage* vazlat;
  toolkit::TLabel* Label3;
  toolkit::TLabel* Label10;
  toolkit::TLabel* Label11;
  toolkit::TLabel* Label9;
  toolkit::TLabel* Label12;
  toolkit::TEdit* Edit1;
  toolkit::TEdit* Edit2;
  toolkit::TButton* Button1;
  toolkit::TEdit* Edit3;
  toolkit::TEdit* Edit4;
  toolkit::TEdit* Edit5;
  toolkit::TProgressBar* ProgressBar1;
  toolkit::TCheckBox* CheckBox3;
  toolkit::TComboBox* ComboBox1;
  toolkit::TColorBox* ColorBox1;
  toolkit::TComboBox* kovetes;
  toolkit::TButton* Button2;
  toolkit::TButton* Button4;
  toolkit::TTrackBar* TrackBar1;
  toolkit::TEdit* Edit6;
  toolkit::TCheckBox* CheckBox4;

 private:
  toolkit::TOpenPictureDialog openPictureDialog_{this};

 public:
  toolkit::TOpenPictureDialog* const OpenPictureDialog1 = &openPictureDialog_;

 public slots:
  void Button1Click();
  void Button2Click();
  void Button4Click();
  void Edit1Change();
  void Edit1Exit();
  void Edit2Change();
  void Edit2Exit();
  void Edit3Change();
  void Edit4Change();
  void faziskepClick();
  void faziskepDblClick();
  void faziskepMouseDown(toolkit::TMouseButton Button, toolkit::TShiftState Shift, int X, int Y);
  void faziskepMouseMove(toolkit::TShiftState Shift, int X, int Y);
  void faziskepMouseUp(toolkit::TMouseButton Button, toolkit::TShiftState Shift, int X, int Y);

 private:
  void bindEvents();
};

// The main window, from start-up until the program ends.
extern TForm1* Form1;

}  // namespace trapezola
