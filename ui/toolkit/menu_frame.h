// The frame around a window's designed client area: a menu bar above it and a
// one-line status text below it. The client area (a TForm) keeps its designed
// size and every control in it keeps its place; the frame only adds rows around
// it, and carries the window's caption and its place on the screen.
//
// Closing the frame closes the client form, so the main window still ends the
// program when its frame is closed.
#pragma once

#include <QAction>
#include <QMainWindow>
#include <string>

#include "ui/toolkit/events.h"

class QLabel;
class QMenu;

namespace trapezola::toolkit {

class TForm;

// One item of a menu. OnClick runs when it is chosen with the mouse, the
// keyboard or its shortcut, or over the accessibility bus.
class TMenuItem : public QAction {
  Q_OBJECT

 public:
  TMenuItem(QObject* parent, const std::string& caption);

  void SetEnabled(bool enabled) { setEnabled(enabled); }
  bool Enabled() const { return isEnabled(); }
  // A key sequence in the portable text form, "Ctrl+S", "Esc", "Backspace".
  void SetShortcut(const std::string& keys);
  std::string GetShortcut() const;

  TNotifyEvent OnClick;
};

class TMenuFrame : public QMainWindow {
  Q_OBJECT

 public:
  explicit TMenuFrame(TForm* client);

  // A new menu at the end of the bar; "&File" makes Alt+F open it.
  QMenu* AddMenu(const std::string& title);
  TMenuItem* AddItem(QMenu* menu, const std::string& caption, const std::string& shortcut = "");
  void AddSeparator(QMenu* menu);

  void SetStatusText(const std::string& text);
  std::string StatusText() const;
  // The status text control, for naming it in the layout.
  QLabel* StatusLine() const { return status_; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  TForm* client_;
  QLabel* status_;
};

}  // namespace trapezola::toolkit
