#include "ui/toolkit/input_gate.h"

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QWidget>
#include <algorithm>

namespace trapezola::toolkit {

namespace {

bool isUserInput(QEvent::Type type) {
  switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
      return true;
    default:
      return false;
  }
}

}  // namespace

TInputGate::~TInputGate() {
  Open();
}

void TInputGate::Shut(std::vector<QWidget*> open) {
  open_ = std::move(open);
  if (!shut_) qApp->installEventFilter(this);
  shut_ = true;
}

void TInputGate::Open() {
  if (shut_ && qApp) qApp->removeEventFilter(this);
  shut_ = false;
}

bool TInputGate::passes(QObject* watched) const {
  for (QObject* o = watched; o != nullptr; o = o->parent()) {
    if (qobject_cast<QMenuBar*>(o) || qobject_cast<QMenu*>(o)) return true;
    if (std::find(open_.begin(), open_.end(), o) != open_.end()) return true;
  }
  return false;
}

bool TInputGate::eventFilter(QObject* watched, QEvent* event) {
  if (!shut_ || !isUserInput(event->type()) || !watched->isWidgetType()) return false;
  // A dialog opened during the run (Help's boxes) answers as always.
  if (qobject_cast<QDialog*>(static_cast<QWidget*>(watched)->window())) return false;
  if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
    if (OnEscape) runHandlers([this] { OnEscape(); });
    return true;
  }
  return !passes(watched);
}

}  // namespace trapezola::toolkit
