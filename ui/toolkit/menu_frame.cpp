#include "ui/toolkit/menu_frame.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QStatusBar>

#include "ui/toolkit/form.h"
#include "ui/toolkit/widget_support.h"

namespace trapezola::toolkit {

TMenuItem::TMenuItem(QObject* parent, const std::string& caption) : QAction(qtText(caption), parent) {
  connect(this, &QAction::triggered, this, [this] {
    runHandlers([this] {
      if (OnClick) OnClick();
    });
  });
}

void TMenuItem::SetShortcut(const std::string& keys) {
  setShortcut(QKeySequence(qtText(keys), QKeySequence::PortableText));
  // The frame's shortcuts work wherever the focus is in the window.
  setShortcutContext(Qt::WindowShortcut);
}

std::string TMenuItem::GetShortcut() const {
  return stdText(shortcut().toString(QKeySequence::PortableText));
}

TMenuFrame::TMenuFrame(TForm* client) : client_(client), status_(new QLabel(this)) {
  setCentralWidget(client);
  statusBar()->addWidget(status_, 1);
  statusBar()->setSizeGripEnabled(false);
  // The frame is as large as the client area and its two rows, never larger.
  layout()->setSizeConstraint(QLayout::SetFixedSize);
}

QMenu* TMenuFrame::AddMenu(const std::string& title) {
  return menuBar()->addMenu(qtText(title));
}

TMenuItem* TMenuFrame::AddItem(QMenu* menu, const std::string& caption, const std::string& shortcut) {
  auto* item = new TMenuItem(this, caption);
  if (!shortcut.empty()) item->SetShortcut(shortcut);
  menu->addAction(item);
  return item;
}

void TMenuFrame::AddSeparator(QMenu* menu) {
  menu->addSeparator();
}

void TMenuFrame::SetStatusText(const std::string& text) {
  status_->setText(qtText(text));
}

std::string TMenuFrame::StatusText() const {
  return stdText(status_->text());
}

void TMenuFrame::closeEvent(QCloseEvent* event) {
  // The client decides; a main window's client ends the program as it closes.
  if (client_->close()) {
    event->accept();
  } else {
    event->ignore();
  }
}

}  // namespace trapezola::toolkit
