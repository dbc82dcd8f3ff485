// The main window: parameter fields, the phase portrait "faziskep", the table
// sketch "vazlat" and the controls around them.
//
// The controls are built from the layout table (main_window_layout.h), in its
// order, so later ones lie on top where they overlap; each keeps its layout
// name ("Edit1", "Button1") as its object name and accessible description,
// while the code calls it by what it is (bField, goButton). The handlers are bound to the components'
// events in the constructor and live in files grouped by behaviour:
//   table_field_handlers.cpp  Edit1Exit, Edit2Change, Edit2Exit (table fields, sketch)
//   start_field_handlers.cpp  Edit1Change, Edit3Change, Edit4Change (start fields)
//   orbit_handlers.cpp        Button1Click, faziskepDblClick (orbit runs)
//   pointer_handlers.cpp      faziskepMouseMove, faziskepClick (read-out, corner forecast)
//   zoom_analysis_handlers.cpp faziskepMouseDown, faziskepMouseUp (zoom, periodic orbits)
//   clear_handler.cpp         Button4Click (clearing the portrait)
//   load_handler.cpp          Button2Click (loading a stored portrait)
//   run_control.cpp           runs on a worker thread: start, stop, progress, end
//   menu_handlers.cpp         the menu bar above the client area and the status line
//   field_numbers.cpp         reading numbers from fields, errors naming the field
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "core/geometry/parameter_ranges.h"
#include "explorer/background_orbits.h"
#include "explorer/background_run.h"
#include "explorer/explorer.h"
#include "explorer/phase_window.h"
#include "explorer/portrait_record.h"
#include "ui/main_window/main_window_layout.h"
#include "ui/toolkit/button.h"
#include "ui/toolkit/check_box.h"
#include "ui/toolkit/color_box.h"
#include "ui/toolkit/combo_box.h"
#include "ui/toolkit/edit.h"
#include "ui/toolkit/events.h"
#include "ui/toolkit/form.h"
#include "ui/toolkit/image.h"
#include "ui/toolkit/input_gate.h"
#include "ui/toolkit/label.h"
#include "ui/toolkit/menu_frame.h"
#include "ui/toolkit/open_picture_dialog.h"
#include "ui/toolkit/progress_bar.h"
#include "ui/toolkit/timer.h"
#include "ui/toolkit/track_bar.h"

namespace trapezola {

class TForm1 : public toolkit::TForm {
  Q_OBJECT

 public:
  TForm1();
  ~TForm1() override;

  // The menu bar and the status line around the client area.
  toolkit::TMenuFrame* MainFrame;
  toolkit::TMenuItem* FileLoad;
  toolkit::TMenuItem* FileSavePortrait;
  toolkit::TMenuItem* FileExportFigure;
  toolkit::TMenuItem* FileExportOrbitData;
  toolkit::TMenuItem* EditCopyPhasePoint;
  toolkit::TMenuItem* ViewBackItem;
  toolkit::TMenuItem* ViewFullViewItem;
  toolkit::TMenuItem* FileQuit;
  toolkit::TMenuItem* RunGo;
  toolkit::TMenuItem* RunStop;
  toolkit::TMenuItem* RunManyOrbits;
  toolkit::TMenuItem* RunFindPeriodicOrbit;
  toolkit::TMenuItem* HelpShortcuts;
  toolkit::TMenuItem* HelpAbout;

  // True while an orbit run is on its worker thread.
  bool Running() const { return run_ != nullptr || orbitsRun_ != nullptr; }
  // Stops the run after its current bounce; what it drew and where it stood
  // stay, so that "continue" finishes it. Does nothing when no run goes.
  void StopRun();
  // Waits for the run to end by itself and finishes it as the window would.
  void WaitForRun();

  // The window's explorer value: its table, ball, phase window, zoom history
  // and texts. The handlers change it; tests and tools read it and set it up.
  Explorer& explorer() { return explorer_; }
  const Explorer& explorer() const { return explorer_; }

 private:
  // The controls of the client area; their layout names (main_window_layout.h)
  // are their object names, by which tests and tools find them.
  toolkit::TLabel* geometryLabel;         // Label1: the prompt, then the table's radii and corners
  toolkit::TLabel* bCaption;              // Label2
  toolkit::TLabel* ratioCaption;          // Label4
  toolkit::TLabel* distanceCaption;       // Label5
  toolkit::TLabel* angleCaption;          // Label6
  toolkit::TLabel* repeatCaption;         // Label7
  toolkit::TLabel* readoutLabel;          // Label8: the hovered s and angle, "ready!" after a run
  toolkit::TImage* portraitImage;         // faziskep: the phase portrait
  toolkit::TImage* sketchImage;           // vazlat: the table sketch
  toolkit::TLabel* thousandsCaption;      // Label3
  toolkit::TLabel* followCaption;         // Label10
  toolkit::TLabel* analysisLabel;         // Label11: periodic-orbit analysis, corner forecast, errors
  toolkit::TLabel* pointLabel;            // Label9: the hovered point's x and y
  toolkit::TLabel* readoutEdge;           // Label12: the white left edge of the read-out
  toolkit::TEdit* bField;                 // Edit1
  toolkit::TEdit* ratioField;             // Edit2
  toolkit::TButton* goButton;             // Button1
  toolkit::TEdit* distanceField;          // Edit3
  toolkit::TEdit* angleField;             // Edit4
  toolkit::TEdit* repeatField;            // Edit5: bounces per run, in thousands
  toolkit::TProgressBar* progressBar;     // ProgressBar1
  toolkit::TCheckBox* gridBox;            // CheckBox3
  toolkit::TComboBox* pointSizeBox;       // ComboBox1
  toolkit::TColorBox* colorBox;           // ColorBox1
  toolkit::TComboBox* followDepthBox;     // kovetes: how many bounces the sketch follows
  toolkit::TButton* loadButton;           // Button2
  toolkit::TButton* clearButton;          // Button4
  toolkit::TTrackBar* sensitivitySlider;  // TrackBar1: tolerance of periodic orbits and forecasts
  toolkit::TEdit* periodField;            // Edit6: the period a right click looks for
  toolkit::TCheckBox* lyapunovBox;        // CheckBox4

  toolkit::TOpenPictureDialog openPictureDialog_{this};
  toolkit::TSavePictureDialog savePictureDialog_{this};
  toolkit::TSavePictureDialog figureDialog_{this};
  toolkit::TSavePictureDialog orbitDataDialog_{this};

 public:
  toolkit::TOpenPictureDialog* const OpenPictureDialog1 = &openPictureDialog_;
  toolkit::TSavePictureDialog* const SavePictureDialog = &savePictureDialog_;
  toolkit::TSavePictureDialog* const FigureDialog = &figureDialog_;
  toolkit::TSavePictureDialog* const OrbitDataDialog = &orbitDataDialog_;

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
  void CheckBox3Click();
  void ViewBack();
  void ViewFullView();
  void SavePortrait();
  void ExportFigure();
  void ExportOrbitData();
  void CopyPhasePoint();
  void FindPeriodicOrbit();
  void ManyOrbits();
  // Reports a start field's text that is not a number, or one outside the
  // field's range, when the field is left.
  void StartFieldExit(const char* field, const toolkit::TEdit& edit, const ParameterRange* range = nullptr);

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  enum class RunKind { go, doubleClick };
  // A run that was stopped, to be finished by the next "continue".
  struct StoppedRun {
    RunKind kind;
    OrbitRunJob job;
  };

  void buildControls();
  void bindEvents();
  void buildMenus();
  void startRun(RunKind kind, const OrbitRunJob& job);
  void showRunProgress();
  void endRun();
  void drawGridKeepingDots();
  // Clears the portrait when it holds the dots of a table other than (b, rr).
  void keepOneTable(double b, double rr);

  // Right-button gestures on the portrait (zoom_analysis_handlers.cpp).
  void zoom(double x, double y);
  void replay();
  void showWindow(const PhaseWindowRecord& window);
  void analyse();

  // The numbers of a saved portrait's record, converted and checked.
  struct LoadedRecord {
    double b = 0, rr = 0, distance = 0, angle = 0;
    int repeat = 0;
  };
  static LoadedRecord checkedRecord(const std::string& fileName, const PortraitRecord& record);
  void restorePortraitRecord(const PortraitRecord& record, const LoadedRecord& loaded);

  void shutForRun();
  void openAfterRun();
  void endOrbitsRun();

  // Everything the handlers share from one event to the next.
  Explorer explorer_;
  std::unique_ptr<BackgroundRun> run_;
  std::unique_ptr<BackgroundOrbits> orbitsRun_;
  int manyOrbitsCount_ = 24;
  int manyOrbitsBounces_ = 20000;
  // Where the right button went down on the portrait, while it is held.
  std::optional<std::pair<int, int>> bandStart_;
  RunKind runKind_ = RunKind::go;
  // How the run that goes enters the portrait's history: a fresh go, a resume
  // or a double click, and the phase point it starts from.
  struct RunStep {
    HistoryStepKind kind = HistoryStepKind::go;
    double s = 0, phi = 0;
  };
  RunStep runStep_;
  std::optional<StoppedRun> stopped_;
  toolkit::TTimer* runTimer_;
  toolkit::TInputGate* inputGate_;
  std::int64_t stretchStartMs_ = 0;
  std::int64_t stretchStartBounces_ = 0;
  // The table whose dots the portrait shows, if any.
  std::optional<std::pair<double, double>> portraitTable_;
  // The portrait as it was before the last grid was drawn, and the canvas
  // generation right after: unticking "grid" puts it back while nothing else
  // has been drawn since.
  toolkit::TCanvas gridless_{794, 681};
  std::optional<std::uint64_t> gridGeneration_;
  int figurePngWidth_ = 1600;
};

// The main window, from start-up until the program ends.
extern TForm1* Form1;

}  // namespace trapezola
