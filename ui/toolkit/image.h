// An image control that shows its canvas pixel for pixel, at the top left, and
// reports mouse gestures in the canvas's pixel coordinates.
//
// Drawing on the canvas does not repaint by itself: whenever the message loop is
// about to wait, the control compares the canvas with what it last showed and
// repaints only the rectangle that changed. Refresh repaints at once.
//
// Mouse events follow the classic order. A left click gives MouseDown, then on
// release Click (only when released over the control) and MouseUp. A double
// click gives MouseDown, Click, MouseUp, DblClick, MouseDown with ssDouble,
// MouseUp: the click of the first press always comes before the double click.
// Other buttons give MouseDown and MouseUp only.
#pragma once

#include <QWidget>
#include <cstdint>
#include <vector>

#include "raster/canvas.h"
#include "ui/toolkit/events.h"
#include "ui/toolkit/picture.h"

namespace trapezola::toolkit {

class TImage : public QWidget {
  Q_OBJECT

 public:
  // A control of the given size with a white canvas of the same size.
  TImage(QWidget* parent, int width, int height);

  TCanvas* const Canvas = &canvas_;
  TPicture* const Picture = &picture_;

  void SetCrossCursor();
  // Repaints the changed part now, without waiting for the message loop.
  void Refresh();
  // A dashed rectangle between two corners, shown over the canvas without
  // drawing on it (the rubber band of a drag), and its removal.
  void ShowRubberBand(int x1, int y1, int x2, int y2);
  void HideRubberBand();
  bool RubberBandShown() const { return bandShown_; }

  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseUp;
  TMouseMoveEvent OnMouseMove;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  // Schedules a repaint of what changed since the last call.
  void showCanvasChanges();

  TCanvas canvas_;
  TPicture picture_{canvas_};
  // The canvas size last shown: a loaded picture can change it.
  int shownWidth_ = 0;
  int shownHeight_ = 0;
  // Set by a left press; a release clicks only after such a press, never after
  // the press of a double click.
  bool clickPending_ = false;
  bool bandShown_ = false;
  int bandX1_ = 0, bandY1_ = 0, bandX2_ = 0, bandY2_ = 0;
};

}  // namespace trapezola::toolkit
