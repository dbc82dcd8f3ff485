// The Lyapunov window's layout. Positions are (left, top) in the client area,
// sizes width x height, in pixels.
#include "ui/lyapunov_window/tform3.h"

#include "ui/toolkit/widget_support.h"

namespace trapezola {

using namespace toolkit;

TForm3* Form3 = nullptr;

namespace {

constexpr int outerLeft = 502;
constexpr int outerTop = 112;
constexpr int outerWidth = 434;
constexpr int outerHeight = 439;
constexpr int largeFontHeight = -13;
constexpr int windowFontHeight = -11;
constexpr int trackBarMax = 400;
constexpr int trackBarTickFrequency = 4;

template <typename Control>
Control* place(Control* control, const char* name, int left, int top, int width, int height) {
  setLayoutName(control, name);
  control->setGeometry(left, top, width, height);
  return control;
}

TLabel* makeLabel(QWidget* parent, const char* name, int left, int top, int width, int height,
                  const char* caption) {
  auto* label = new TLabel(parent);
  setLayoutName(label, name);
  label->SetText(caption);
  label->SetBounds(left, top, width, height);
  return label;
}

TEdit* makeEdit(QWidget* parent, const char* name, int left, int top, int width, int height,
                const char* text) {
  auto* edit = place(new TEdit(parent), name, left, top, width, height);
  edit->SetText(text);
  return edit;
}

}  // namespace

TForm3::TForm3() {
  setWindowFlag(Qt::WindowStaysOnTopHint);
  SetText("Ljapunov-exponent");
  SetOuterBounds(outerLeft, outerTop, outerWidth, outerHeight);

  Image1 = place(new TImage(this, 409, 337), "Image1", 8, 16, 409, 337);
  Label1 = makeLabel(this, "Label1", 88, 380, 44, 13, "blocksize");
  Label2 = makeLabel(this, "Label2", 176, 380, 56, 13, "# of blocks:");
  Label3 = makeLabel(this, "Label3", 10, 380, 26, 13, "Ymax");
  Label4 = makeLabel(this, "Label4", 16, 24, 49, 13, "lg(Tr)max: ");
  Label4->SetColor(clWhite);

  Button2 = place(new TButton(this), "Button2", 280, 376, 65, 25);
  Button2->SetText("fit linear");
  setFontHeight(Button2, largeFontHeight, true);

  Edit1 = makeEdit(this, "Edit1", 136, 378, 33, 21, "500");
  Edit2 = makeEdit(this, "Edit2", 240, 378, 33, 21, "100");
  Edit3 = makeEdit(this, "Edit3", 40, 378, 41, 21, "40000");

  TrackBar1 = place(new TTrackBar(this, Qt::Horizontal), "TrackBar1", 8, 0, 409, 17);
  TrackBar1->SetMin(0);
  TrackBar1->SetMax(trackBarMax);
  TrackBar1->SetPosition(trackBarMax);
  TrackBar1->SetFrequency(trackBarTickFrequency);
  TrackBar1->SetTickMarks(tmBottomRight);

  TrackBar2 = place(new TTrackBar(this, Qt::Horizontal), "TrackBar2", 8, 352, 409, 17);
  TrackBar2->SetMin(0);
  TrackBar2->SetMax(trackBarMax);
  TrackBar2->SetPosition(0);
  TrackBar2->SetFrequency(trackBarTickFrequency);
  TrackBar2->SetTickMarks(tmTopLeft);

  Edit4 = makeEdit(this, "Edit4", 16, 78, 80, 20, "");
  Edit4->SetBorder(false);

  // "write" has no action.
  Button1 = place(new TButton(this), "Button1", 352, 376, 65, 25);
  Button1->SetText("write");

  Edit5 = makeEdit(this, "Edit5", 16, 112, 25, 21, "0");
  Edit5->SetBorder(false);
  Edit5->SetFontColor(clWhite);
  setFontHeight(Edit5, windowFontHeight);

  setTabOrder(Button2, Edit1);
  setTabOrder(Edit1, Edit2);
  setTabOrder(Edit2, Edit3);
  setTabOrder(Edit3, TrackBar1);
  setTabOrder(TrackBar1, TrackBar2);
  setTabOrder(TrackBar2, Edit4);
  setTabOrder(Edit4, Button1);
  setTabOrder(Button1, Edit5);

  bindEvents();
}

// Bound after the defaults are set, so that building the window raises no events.
void TForm3::bindEvents() {
  Button2->OnClick = [this] { Button2Click(); };
  Edit3->OnChange = [this] { Edit3Change(); };
  Image1->OnDblClick = [this] { Image1DblClick(); };
  TrackBar1->OnChange = [this] { TrackBar1Change(); };
  TrackBar2->OnChange = [this] { TrackBar2Change(); };
}

}  // namespace trapezola
