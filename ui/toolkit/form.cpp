#include "ui/toolkit/form.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>

#include "ui/toolkit/application.h"
#include "ui/toolkit/widget_support.h"

namespace trapezola::toolkit {

namespace {
constexpr int windowFontHeight = -11;
}  // namespace

TForm::TForm(QWidget* parent) : QWidget(parent, Qt::Window) {
  setFontHeight(this, windowFontHeight);
}

std::string TForm::GetText() const {
  return stdText(windowTitle());
}

void TForm::SetText(const std::string& caption) {
  setWindowTitle(qtText(caption));
}

void TForm::SetFixedClientSize(int width, int height) {
  setFixedSize(width, height);
}

void TForm::SetOuterBounds(int left, int top, int width, int height) {
  outerSizePending_ = true;
  outerWidth_ = width;
  outerHeight_ = height;
  resize(width, height);
  move(left, top);
}

void TForm::CentreOnScreen() {
  centreOnShow_ = true;
  const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
  if (!screen) return;
  QRect frame = frameGeometry();
  frame.moveCenter(screen->availableGeometry().center());
  move(frame.topLeft());
}

// The outer size and the centring of the designed layout refer to the frame, which
// the window system reports only once the window is on screen, sometimes only with
// the move that puts the frame around it.
void TForm::fitOuterSize() {
  const QSize frameExtra = frameGeometry().size() - geometry().size();
  if (frameExtra.isNull()) return;
  resize(outerWidth_ - frameExtra.width(), outerHeight_ - frameExtra.height());
  outerSizePending_ = false;
}

void TForm::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (outerSizePending_) fitOuterSize();
  if (centreOnShow_) {
    CentreOnScreen();
    centreOnShow_ = false;
  }
}

void TForm::moveEvent(QMoveEvent* event) {
  QWidget::moveEvent(event);
  if (outerSizePending_ && isVisible()) fitOuterSize();
}

void TForm::closeEvent(QCloseEvent* event) {
  QWidget::closeEvent(event);
  if (event->isAccepted() && Application && Application->MainForm() == this) QCoreApplication::exit(0);
}

}  // namespace trapezola::toolkit
