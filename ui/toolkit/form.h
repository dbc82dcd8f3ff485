// A top-level window built from a layout description.
//
// Geometry follows the classic designer: controls are placed at (Left, Top) in the
// client area with a fixed Width x Height, and stack in creation order, later
// ones on top. A window's font is the window family at height -11 unless its
// layout says otherwise. Closing the application's main window ends the program;
// closing any other window only hides it.
#pragma once

#include <QWidget>
#include <string>

namespace trapezola::toolkit {

class TForm : public QWidget {
  Q_OBJECT

 public:
  explicit TForm(QWidget* parent = nullptr);

  std::string GetText() const;  // the caption
  void SetText(const std::string& caption);

  // Client area of exactly this size that the user cannot resize (bsSingle).
  void SetFixedClientSize(int width, int height);
  // Outer size and screen position, frame included. Until the window system has
  // reported the frame the client area takes the whole size; the first show
  // corrects it.
  void SetOuterBounds(int left, int top, int width, int height);
  // Centres the window on the screen it is on (poScreenCenter).
  void CentreOnScreen();

 protected:
  void showEvent(QShowEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void fitOuterSize();

  bool outerSizePending_ = false;
  bool centreOnShow_ = false;
  int outerWidth_ = 0;
  int outerHeight_ = 0;
};

}  // namespace trapezola::toolkit
