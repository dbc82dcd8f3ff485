// The Lyapunov-exponent window: the lg(Tr) graph of the last periodic-orbit
// analysis, the fit window chosen with two track bars, and the fitted gradient.
// It stays above the main window, starts hidden, and closing it only hides it.
//
// The handlers live in lyapunov_handlers.cpp; the series operations that a
// periodic-orbit analysis calls, and the axes they share with the handlers, in
// lyapunov_series.cpp.
#pragma once

#include <memory>

#include "core/analysis/lgtr_data_file.h"
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

  // One lg(Tr) series, in this order: begin, one point per block m = 1 ..
  // blockCount, end. begin reads the block size and count from Edit1 and Edit2
  // into LyapunovGraph and draws fresh axes over the old graph; each point goes
  // to the data file and, when showGraph is set (the analysis passes the main
  // window's "Lg(Tr) graph" box), onto the graph; end shows the maximum, fits the track bars to the block
  // count and puts the data file in place. Until then the previous file stays as it was. begin throws
  // toolkit::Exception, changing nothing, when a field is not a count of at least 1 or the data file cannot
  // be created.
  void beginLgTrSeries(bool showGraph);
  void addLgTrPoint(int block, double value);
  void endLgTrSeries();

  // The green axes with their fixed ticks; leaves the pen black.
  void drawLyapunovAxes();

 public slots:
  void Button2Click();
  void Edit3Change();
  void Image1DblClick();
  void TrackBar1Change();
  void TrackBar2Change();

 private:
  void bindEvents();

  // The series being written; a series begun anew discards an unfinished one.
  std::unique_ptr<LgTrFileWriter> seriesFile_;
  // Whether that series is drawn, as its begin was told.
  bool showSeries_ = false;
};

// The Lyapunov window, from start-up until the program ends.
extern TForm3* Form3;

}  // namespace trapezola
