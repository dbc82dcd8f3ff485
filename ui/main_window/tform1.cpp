// The main window: its controls built from the layout table, their defaults and
// the binding of their events.
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
// The system's 3D highlight, the background of the read-out line Label8.
constexpr TColor clBtnHighlight = clWhite;
constexpr TColor clWindow = clWhite;
constexpr int followDepthLimit = 32;

QWidget* makeControl(QWidget* parent, const ControlLayout& layout) {
  switch (layout.kind) {
    case ControlKind::label: {
      auto* label = new TLabel(parent);
      label->SetAutoSize(layout.growsWithText);
      return label;
    }
    case ControlKind::edit:
      return new TEdit(parent);
    case ControlKind::button:
      return new TButton(parent);
    case ControlKind::image:
      return new TImage(parent, layout.width, layout.height);
    case ControlKind::progressBar:
      return new TProgressBar(parent);
    case ControlKind::checkBox:
      return new TCheckBox(parent);
    case ControlKind::comboBox:
      return new TComboBox(parent);
    case ControlKind::colorBox:
      return new TColorBox(parent);
    case ControlKind::verticalTrackBar:
      return new TTrackBar(parent, Qt::Vertical);
  }
  return nullptr;
}

void setHint(QWidget* control, const char* hint) {
  if (*hint == '\0') return;
  if (auto* label = qobject_cast<TLabel*>(control)) label->SetHint(hint);
  if (auto* edit = qobject_cast<TEdit*>(control)) edit->SetHint(hint);
  if (auto* combo = qobject_cast<TComboBox*>(control)) combo->SetHint(hint);
  if (auto* bar = qobject_cast<TTrackBar*>(control)) bar->SetHint(hint);
}

void setCaption(QWidget* control, const char* caption) {
  if (!caption) return;
  if (auto* label = qobject_cast<TLabel*>(control)) label->SetText(caption);
  if (auto* edit = qobject_cast<TEdit*>(control)) edit->SetText(caption);
  if (auto* button = qobject_cast<TButton*>(control)) button->SetText(caption);
  if (auto* box = qobject_cast<TCheckBox*>(control)) box->SetText(caption);
  if (auto* combo = qobject_cast<TComboBox*>(control)) combo->SetText(caption);
}

template <typename Control>
Control* built(QWidget* window, const char* name) {
  auto* control = window->findChild<Control*>(QString::fromLatin1(name), Qt::FindDirectChildrenOnly);
  Q_ASSERT(control);
  return control;
}

}  // namespace

TForm1::TForm1() {
  SetText("Trapezola    (Beta version)");
  SetFixedClientSize(clientWidth, clientHeight);
  CentreOnScreen();

  buildControls();

  const std::vector<QWidget*> tabOrder = {
      bField,     ratioField,  distanceField,     angleField,  repeatField,
      goButton,   gridBox,     pointSizeBox,      colorBox,    followDepthBox,
      loadButton, clearButton, sensitivitySlider, periodField, lyapunovBox};
  for (std::size_t i = 1; i < tabOrder.size(); ++i) setTabOrder(tabOrder[i - 1], tabOrder[i]);
  // The bar shows progress only; it takes no focus.
  progressBar->setFocusPolicy(Qt::NoFocus);

  runTimer_ = new TTimer(this);
  runTimer_->OnTimer = [this] { showRunProgress(); };
  inputGate_ = new TInputGate(this);
  inputGate_->OnEscape = [this] { StopRun(); };
  buildMenus();

  bindEvents();
}

// Every control is made, placed, named and captioned from the layout table; what
// the table does not hold (alignment, colours, ranges, list items) is set here
// before the captions, so that a list shows its caption among its items.
void TForm1::buildControls() {
  for (const ControlLayout& layout : mainWindowLayout) {
    QWidget* control = makeControl(this, layout);
    setLayoutName(control, layout.name);
    if (layout.fontHeight != 0) setFontHeight(control, layout.fontHeight, layout.bold);
    setHint(control, layout.hint);
    if (auto* label = qobject_cast<TLabel*>(control)) {
      label->SetBounds(layout.left, layout.top, layout.width, layout.height);
    } else {
      control->setGeometry(layout.left, layout.top, layout.width, layout.height);
    }
  }
  geometryLabel = built<TLabel>(this, "Label1");
  bCaption = built<TLabel>(this, "Label2");
  ratioCaption = built<TLabel>(this, "Label4");
  distanceCaption = built<TLabel>(this, "Label5");
  angleCaption = built<TLabel>(this, "Label6");
  repeatCaption = built<TLabel>(this, "Label7");
  readoutLabel = built<TLabel>(this, "Label8");
  portraitImage = built<TImage>(this, "faziskep");
  sketchImage = built<TImage>(this, "vazlat");
  thousandsCaption = built<TLabel>(this, "Label3");
  followCaption = built<TLabel>(this, "Label10");
  analysisLabel = built<TLabel>(this, "Label11");
  pointLabel = built<TLabel>(this, "Label9");
  readoutEdge = built<TLabel>(this, "Label12");
  bField = built<TEdit>(this, "Edit1");
  ratioField = built<TEdit>(this, "Edit2");
  goButton = built<TButton>(this, "Button1");
  distanceField = built<TEdit>(this, "Edit3");
  angleField = built<TEdit>(this, "Edit4");
  repeatField = built<TEdit>(this, "Edit5");
  progressBar = built<TProgressBar>(this, "ProgressBar1");
  gridBox = built<TCheckBox>(this, "CheckBox3");
  pointSizeBox = built<TComboBox>(this, "ComboBox1");
  colorBox = built<TColorBox>(this, "ColorBox1");
  followDepthBox = built<TComboBox>(this, "kovetes");
  loadButton = built<TButton>(this, "Button2");
  clearButton = built<TButton>(this, "Button4");
  sensitivitySlider = built<TTrackBar>(this, "TrackBar1");
  periodField = built<TEdit>(this, "Edit6");
  lyapunovBox = built<TCheckBox>(this, "CheckBox4");

  geometryLabel->SetCentred(true);
  geometryLabel->SetWordWrap(true);
  readoutLabel->SetCentred(true);
  readoutLabel->SetColor(clBtnHighlight);
  portraitImage->SetCrossCursor();
  thousandsCaption->SetCentred(true);
  analysisLabel->SetCentred(true);
  analysisLabel->SetWordWrap(true);
  pointLabel->SetCentred(true);
  readoutEdge->SetColor(clWhite);

  progressBar->SetMin(0);
  progressBar->SetMax(1000);
  progressBar->SetPosition(0);
  gridBox->SetChecked(true);
  pointSizeBox->SetItems({"small", "big"});
  pointSizeBox->SetItemIndex(0);
  setTextColor(colorBox, clWindow);
  colorBox->SetSelected(clBlack);
  std::vector<std::string> depths;
  for (int depth = 0; depth <= followDepthLimit; ++depth) depths.push_back(std::to_string(depth));
  followDepthBox->SetItems(depths);
  sensitivitySlider->SetMin(-100);
  sensitivitySlider->SetMax(10);
  sensitivitySlider->SetPosition(-50);
  sensitivitySlider->SetFrequency(1);
  sensitivitySlider->SetTickMarks(tmBottomRight);
  lyapunovBox->SetChecked(false);

  for (const ControlLayout& layout : mainWindowLayout) {
    setCaption(findChild<QWidget*>(QString::fromLatin1(layout.name), Qt::FindDirectChildrenOnly),
               layout.caption);
  }
}

// Bound after the defaults are set, so that building the window raises no events.
void TForm1::bindEvents() {
  bField->OnChange = [this] { Edit1Change(); };
  bField->OnExit = [this] { Edit1Exit(); };
  ratioField->OnChange = [this] { Edit2Change(); };
  ratioField->OnExit = [this] { Edit2Exit(); };
  distanceField->OnChange = [this] { Edit3Change(); };
  angleField->OnChange = [this] { Edit4Change(); };
  distanceField->OnExit = [this] { StartFieldExit("distance", *distanceField); };
  angleField->OnExit = [this] { StartFieldExit("angle", *angleField, &startAngleRange); };
  goButton->OnClick = [this] { Button1Click(); };
  loadButton->OnClick = [this] { Button2Click(); };
  clearButton->OnClick = [this] { Button4Click(); };
  gridBox->OnClick = [this] { CheckBox3Click(); };
  portraitImage->OnClick = [this] { faziskepClick(); };
  portraitImage->OnDblClick = [this] { faziskepDblClick(); };
  portraitImage->OnMouseDown = [this](TMouseButton button, TShiftState shift, int x, int y) {
    faziskepMouseDown(button, shift, x, y);
  };
  portraitImage->OnMouseMove = [this](TShiftState shift, int x, int y) { faziskepMouseMove(shift, x, y); };
  portraitImage->OnMouseUp = [this](TMouseButton button, TShiftState shift, int x, int y) {
    faziskepMouseUp(button, shift, x, y);
  };
}

}  // namespace trapezola
