// The main window's layout. Positions are (left, top) in the client area, sizes
// width x height, all in pixels; a font height of -13 is 10-point text.
#include "ui/main_window/tform1.h"

#include <string>
#include <vector>

#include "ui/toolkit/widget_support.h"

namespace trapezola {

using namespace toolkit;

TForm1* Form1 = nullptr;

namespace {

constexpr int clientWidth = 1020;
constexpr int clientHeight = 710;
constexpr int largeFontHeight = -13;
constexpr int windowFontHeight = -11;
// The system's 3D highlight, the background of the status line Label8.
constexpr TColor clBtnHighlight = clWhite;
constexpr TColor clWindow = clWhite;
constexpr int followDepthLimit = 32;

const char* const bHint =
    "half length of the shortest side of the circular trapezoid (0 triangle ... 1 square)";
const char* const ratioHint =
    "The ratio between the largest and the large radii (1 circle ... infinite - squash)";
const char* const distanceHint =
    "The distance from the top right corner of the geometry, measured on the perimeter";
const char* const angleHint = "the angle between the trajectory and the local tangent (0...180)";

template <typename Control>
Control* place(Control* control, const char* name, int left, int top, int width, int height) {
  setLayoutName(control, name);
  control->setGeometry(left, top, width, height);
  return control;
}

TLabel* makeLabel(QWidget* parent, const char* name, int left, int top, int width, int height,
                  const std::string& caption, int fontHeight = 0) {
  auto* label = new TLabel(parent);
  setLayoutName(label, name);
  if (fontHeight != 0) setFontHeight(label, fontHeight);
  label->SetText(caption);
  label->SetBounds(left, top, width, height);
  return label;
}

TEdit* makeEdit(QWidget* parent, const char* name, int left, int top, int width, int height,
                const char* hint = nullptr) {
  auto* edit = place(new TEdit(parent), name, left, top, width, height);
  if (hint) edit->SetHint(hint);
  return edit;
}

TButton* makeButton(QWidget* parent, const char* name, int left, int top, int width, int height,
                    const char* caption) {
  auto* button = place(new TButton(parent), name, left, top, width, height);
  button->SetText(caption);
  return button;
}

}  // namespace

TForm1::TForm1() {
  SetText("Trapezola    (Beta version)");
  SetFixedClientSize(clientWidth, clientHeight);
  CentreOnScreen();

  Label1 =
      makeLabel(this, "Label1", 8, 176, 201, 145,
                "    Parameter of the circular               trapezoid            (0-triangle ...1-square)");
  setFontHeight(Label1, largeFontHeight, true);
  Label1->SetCentred(true);
  Label1->SetWordWrap(true);
  Label1->SetAutoSize(false);

  Label2 = makeLabel(this, "Label2", 24, 8, 17, 16, "b : ", largeFontHeight);
  Label2->SetHint(bHint);
  Label4 = makeLabel(this, "Label4", 8, 35, 39, 16, "R8/R :", largeFontHeight);
  Label4->SetHint(ratioHint);
  Label5 = makeLabel(this, "Label5", 0, 62, 57, 16, "distance :", largeFontHeight);
  Label5->SetHint(distanceHint);
  Label6 = makeLabel(this, "Label6", 16, 89, 40, 16, "angle :", largeFontHeight);
  Label6->SetHint(angleHint);
  Label7 = makeLabel(this, "Label7", 8, 116, 39, 16, "repeat", largeFontHeight);

  Label8 = makeLabel(this, "Label8", 8, 408, 209, 17, "", largeFontHeight);
  Label8->SetAutoSize(false);
  Label8->SetCentred(true);
  Label8->SetColor(clBtnHighlight);

  faziskep = place(new TImage(this, 794, 681), "faziskep", 224, 8, 794, 681);
  faziskep->SetCrossCursor();
  vazlat = place(new TImage(this, 209, 241), "vazlat", 8, 424, 209, 241);

  Label3 = makeLabel(this, "Label3", 104, 118, 65, 17, "x1000 times");
  Label3->SetAutoSize(false);
  Label3->SetCentred(true);
  Label10 = makeLabel(this, "Label10", 8, 672, 63, 16, "short sigth:", largeFontHeight);

  Label11 = makeLabel(this, "Label11", 8, 320, 201, 41, "");
  setFontHeight(Label11, windowFontHeight, true);
  Label11->SetCentred(true);
  Label11->SetWordWrap(true);
  Label11->SetAutoSize(false);

  Label9 = makeLabel(this, "Label9", 8, 392, 209, 17, "");
  Label9->SetAutoSize(false);
  Label9->SetCentred(true);
  Label12 = makeLabel(this, "Label12", 8, 408, 3, 13, "");
  Label12->SetColor(clWhite);

  Edit1 = makeEdit(this, "Edit1", 56, 8, 105, 21, bHint);
  Edit2 = makeEdit(this, "Edit2", 56, 35, 105, 21, ratioHint);
  Button1 = makeButton(this, "Button1", 168, 116, 49, 22, "go");
  Edit3 = makeEdit(this, "Edit3", 56, 62, 105, 21, distanceHint);
  Edit4 = makeEdit(this, "Edit4", 56, 89, 105, 21, angleHint);
  Edit5 = makeEdit(this, "Edit5", 56, 116, 49, 21);

  // As designed, the bar reaches three pixels below the client area, which clips it.
  ProgressBar1 = place(new TProgressBar(this), "ProgressBar1", 0, 696, 1020, 17);
  ProgressBar1->SetMin(0);
  ProgressBar1->SetMax(1000);
  ProgressBar1->SetPosition(0);

  CheckBox3 = place(new TCheckBox(this), "CheckBox3", 168, 8, 49, 25);
  CheckBox3->SetText("grid");
  CheckBox3->SetChecked(true);

  ComboBox1 = place(new TComboBox(this), "ComboBox1", 62, 365, 49, 21);
  ComboBox1->SetItems({"small", "big"});
  ComboBox1->SetItemIndex(0);
  ComboBox1->SetHint("Pontméret");

  ColorBox1 = place(new TColorBox(this), "ColorBox1", 115, 365, 38, 22);
  setFontHeight(ColorBox1, -1);
  setTextColor(ColorBox1, clWindow);
  ColorBox1->SetSelected(clBlack);

  kovetes = place(new TComboBox(this), "kovetes", 72, 670, 57, 21);
  std::vector<std::string> depths;
  for (int depth = 0; depth <= followDepthLimit; ++depth) depths.push_back(std::to_string(depth));
  kovetes->SetItems(depths);
  kovetes->SetText("0");

  Button2 = makeButton(this, "Button2", 160, 363, 57, 25, "load");
  Button4 = makeButton(this, "Button4", 6, 363, 49, 25, "clear");

  TrackBar1 = place(new TTrackBar(this, Qt::Vertical), "TrackBar1", 184, 26, 33, 79);
  TrackBar1->SetMin(-100);
  TrackBar1->SetMax(10);
  TrackBar1->SetPosition(-50);
  TrackBar1->SetFrequency(1);
  TrackBar1->SetTickMarks(tmBottomRight);
  TrackBar1->SetHint("\"érzékenység\"");

  Edit6 = makeEdit(this, "Edit6", 160, 648, 57, 21, "periódus?");
  Edit6->SetText("0");

  CheckBox4 = place(new TCheckBox(this), "CheckBox4", 13, 140, 188, 17);
  CheckBox4->SetText("Lg(Tr) graph to Ljapunov exponent");
  CheckBox4->SetChecked(false);

  const std::vector<QWidget*> tabOrder = {Edit1,   Edit2,     Edit3,     Edit4,     Edit5,
                                          Button1, CheckBox3, ComboBox1, ColorBox1, kovetes,
                                          Button2, Button4,   TrackBar1, Edit6,     CheckBox4};
  for (std::size_t i = 1; i < tabOrder.size(); ++i) setTabOrder(tabOrder[i - 1], tabOrder[i]);
  // The bar shows progress only; it takes no focus.
  ProgressBar1->setFocusPolicy(Qt::NoFocus);

  runTimer_ = new TTimer(this);
  runTimer_->OnTimer = [this] { showRunProgress(); };
  inputGate_ = new TInputGate(this);
  inputGate_->OnEscape = [this] { StopRun(); };
  buildMenus();

  bindEvents();
}

// Bound after the defaults are set, so that building the window raises no events.
void TForm1::bindEvents() {
  Edit1->OnChange = [this] { Edit1Change(); };
  Edit1->OnExit = [this] { Edit1Exit(); };
  Edit2->OnChange = [this] { Edit2Change(); };
  Edit2->OnExit = [this] { Edit2Exit(); };
  Edit3->OnChange = [this] { Edit3Change(); };
  Edit4->OnChange = [this] { Edit4Change(); };
  Edit3->OnExit = [this] { StartFieldExit("distance", *Edit3); };
  Edit4->OnExit = [this] { StartFieldExit("angle", *Edit4); };
  Button1->OnClick = [this] { Button1Click(); };
  Button2->OnClick = [this] { Button2Click(); };
  Button4->OnClick = [this] { Button4Click(); };
  CheckBox3->OnClick = [this] { CheckBox3Click(); };
  faziskep->OnClick = [this] { faziskepClick(); };
  faziskep->OnDblClick = [this] { faziskepDblClick(); };
  faziskep->OnMouseDown = [this](TMouseButton button, TShiftState shift, int x, int y) {
    faziskepMouseDown(button, shift, x, y);
  };
  faziskep->OnMouseMove = [this](TShiftState shift, int x, int y) { faziskepMouseMove(shift, x, y); };
  faziskep->OnMouseUp = [this](TMouseButton button, TShiftState shift, int x, int y) {
    faziskepMouseUp(button, shift, x, y);
  };
}

}  // namespace trapezola
