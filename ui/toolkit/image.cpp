#include "ui/toolkit/image.h"

#include <QAbstractEventDispatcher>
#include <QImage>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPen>
#include <algorithm>
#include <cmath>

namespace trapezola::toolkit {

namespace {

TMouseButton buttonOf(Qt::MouseButton button) {
  switch (button) {
    case Qt::RightButton:
      return mbRight;
    case Qt::MiddleButton:
      return mbMiddle;
    default:
      return mbLeft;
  }
}

TShiftState shiftOf(const QMouseEvent* event) {
  TShiftState shift = 0;
  const Qt::KeyboardModifiers keys = event->modifiers();
  if (keys & Qt::ShiftModifier) shift |= ssShift;
  if (keys & Qt::AltModifier) shift |= ssAlt;
  if (keys & Qt::ControlModifier) shift |= ssCtrl;
  const Qt::MouseButtons held = event->buttons();
  if (held & Qt::LeftButton) shift |= ssLeft;
  if (held & Qt::RightButton) shift |= ssRight;
  if (held & Qt::MiddleButton) shift |= ssMiddle;
  return shift;
}

// The pixel under the pointer; positions can be fractional on scaled screens and
// negative while the mouse is captured outside the control.
int pixelOf(double coordinate) {
  return static_cast<int>(std::floor(coordinate));
}

bool isKnownButton(Qt::MouseButton button) {
  return button == Qt::LeftButton || button == Qt::RightButton || button == Qt::MiddleButton;
}

}  // namespace

TImage::TImage(QWidget* parent, int width, int height) : QWidget(parent), canvas_(width, height) {
  resize(width, height);
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
  if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance(thread())) {
    connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, &TImage::showCanvasChanges);
  }
}

void TImage::SetCrossCursor() {
  setCursor(Qt::CrossCursor);
}

void TImage::Refresh() {
  showCanvasChanges();
  repaint();
}

void TImage::showCanvasChanges() {
  // A new picture may change the size; everything is then shown afresh.
  if (canvas_.width() != shownWidth_ || canvas_.height() != shownHeight_) {
    shownWidth_ = canvas_.width();
    shownHeight_ = canvas_.height();
    canvas_.takeDirtyRect();
    update();
    return;
  }
  const TRect dirty = canvas_.takeDirtyRect();
  if (!dirty.isEmpty())
    update(QRect(dirty.Left, dirty.Top, dirty.Right - dirty.Left, dirty.Bottom - dirty.Top));
}

void TImage::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  // Wraps the canvas's own buffer; nothing is copied.
  const QImage view(reinterpret_cast<const uchar*>(canvas_.bits()), canvas_.width(), canvas_.height(),
                    canvas_.width() * static_cast<int>(sizeof(std::uint32_t)), QImage::Format_RGB32);
  const QRect dirty = event->rect();
  const QRect fromCanvas = dirty.intersected(view.rect());
  if (!fromCanvas.isEmpty()) painter.drawImage(fromCanvas.topLeft(), view, fromCanvas);
  // A loaded picture smaller than the control leaves the rest in the window colour.
  const QRegion uncovered = QRegion(dirty).subtracted(QRegion(view.rect()));
  for (const QRect& rest : uncovered) painter.fillRect(rest, palette().window());
  if (bandShown_) {
    painter.setPen(QPen(Qt::black, 1, Qt::DashLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRect(QPoint(bandX1_, bandY1_), QPoint(bandX2_, bandY2_)).normalized());
  }
}

void TImage::ShowRubberBand(int x1, int y1, int x2, int y2) {
  bandShown_ = true;
  bandX1_ = x1;
  bandY1_ = y1;
  bandX2_ = x2;
  bandY2_ = y2;
  update();
}

void TImage::HideRubberBand() {
  if (!bandShown_) return;
  bandShown_ = false;
  update();
}

void TImage::mousePressEvent(QMouseEvent* event) {
  if (!isKnownButton(event->button())) return;
  const TMouseButton button = buttonOf(event->button());
  if (button == mbLeft) clickPending_ = true;
  const TShiftState shift = shiftOf(event);
  const int x = pixelOf(event->position().x());
  const int y = pixelOf(event->position().y());
  runHandlers([&] {
    if (OnMouseDown) OnMouseDown(button, shift, x, y);
  });
}

void TImage::mouseReleaseEvent(QMouseEvent* event) {
  if (!isKnownButton(event->button())) return;
  const TMouseButton button = buttonOf(event->button());
  const TShiftState shift = shiftOf(event);
  const int x = pixelOf(event->position().x());
  const int y = pixelOf(event->position().y());
  const bool clicks = button == mbLeft && clickPending_ && rect().contains(x, y);
  if (button == mbLeft) clickPending_ = false;
  runHandlers([&] {
    if (clicks && OnClick) OnClick();
    if (OnMouseUp) OnMouseUp(button, shift, x, y);
  });
}

void TImage::mouseDoubleClickEvent(QMouseEvent* event) {
  // Qt sends this in place of the second press.
  if (!isKnownButton(event->button())) return;
  const TMouseButton button = buttonOf(event->button());
  const TShiftState shift = shiftOf(event) | ssDouble;
  const int x = pixelOf(event->position().x());
  const int y = pixelOf(event->position().y());
  runHandlers([&] {
    if (button == mbLeft && OnDblClick) OnDblClick();
    if (OnMouseDown) OnMouseDown(button, shift, x, y);
  });
}

void TImage::mouseMoveEvent(QMouseEvent* event) {
  const TShiftState shift = shiftOf(event);
  const int x = pixelOf(event->position().x());
  const int y = pixelOf(event->position().y());
  runHandlers([&] {
    if (OnMouseMove) OnMouseMove(shift, x, y);
  });
}

}  // namespace trapezola::toolkit
