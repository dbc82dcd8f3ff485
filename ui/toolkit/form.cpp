#include "ui/toolkit/form.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>

#include "ui/toolkit/application.h"
#include "ui/toolkit/menu_frame.h"
#include "ui/toolkit/widget_support.h"

namespace trapezola::toolkit {

namespace {
constexpr int windowFontHeight = -11;
}  // namespace

TForm::TForm(QWidget* parent) : QWidget(parent, Qt::Window) {
  setFontHeight(this, windowFontHeight);
}

TForm::~TForm() {
  // The frame is the form's parent but the form's to delete: let go of it first.
  if (frame_) {
    setParent(nullptr);
    frame_.reset();
  }
}

TMenuFrame* TForm::AddMenuFrame() {
  if (!frame_) {
    const QPoint place = pos();
    frame_ = std::make_unique<TMenuFrame>(this);
    frame_->setWindowTitle(windowTitle());
    frame_->move(place);
  }
  return frame_.get();
}

QWidget* TForm::ScreenWindow() {
  return frame_ ? static_cast<QWidget*>(frame_.get()) : this;
}

void TForm::setVisible(bool visible) {
  QWidget::setVisible(visible);
  if (frame_ && frame_->isVisible() != visible) frame_->setVisible(visible);
}

std::string TForm::GetText() const {
  return stdText(windowTitle());
}

void TForm::SetText(const std::string& caption) {
  setWindowTitle(qtText(caption));
  if (frame_) frame_->setWindowTitle(qtText(caption));
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
  QWidget* window = ScreenWindow();
  const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
  if (!screen) return;
  if (frame_) frame_->adjustSize();
  QRect frame = window->frameGeometry();
  frame.moveCenter(screen->availableGeometry().center());
  window->move(frame.topLeft());
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
