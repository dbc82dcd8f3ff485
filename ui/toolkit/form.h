// A top-level window built from a layout description.
//
// Geometry follows the classic designer: controls are placed at (Left, Top) in the
// client area with a fixed Width x Height, and stack in creation order, later
// ones on top. A window's font is the window family at height -11 unless its
// layout says otherwise. Closing the application's main window ends the program;
// closing any other window only hides it.
#pragma once

#include <QWidget>
#include <memory>
#include <string>

namespace trapezola::toolkit {

class TMenuFrame;

class TForm : public QWidget {
  Q_OBJECT

 public:
  explicit TForm(QWidget* parent = nullptr);
  ~TForm() override;

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

  // Puts the client area into a frame with a menu bar above it and a status
  // line below it (see TMenuFrame). From then on the frame is the window on the
  // screen: it carries the caption, is centred, shown and hidden with the form,
  // and closing it closes the form. The form keeps its size and its controls.
  TMenuFrame* AddMenuFrame();
  TMenuFrame* Frame() const { return frame_.get(); }
  // The window on the screen: the frame when there is one, else the form.
  QWidget* ScreenWindow();

  void setVisible(bool visible) override;

 protected:
  void showEvent(QShowEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void fitOuterSize();

  std::unique_ptr<TMenuFrame> frame_;
  bool outerSizePending_ = false;
  bool centreOnShow_ = false;
  int outerWidth_ = 0;
  int outerHeight_ = 0;
};

}  // namespace trapezola::toolkit
