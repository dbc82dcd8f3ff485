// The menu bar above the client area and the status line below it. Every item
// runs a handler the client area already has, or one of its own here; none of
// them moves or changes a control of the client area.
#include <QLabel>
#include <QMessageBox>

#include "ui/main_window/tform1.h"
#include "ui/toolkit/widget_support.h"

namespace trapezola {

namespace {

const char* const shortcutsText =
    "Ctrl+O\tload a stored portrait\n"
    "Ctrl+Q\tquit\n"
    "Ctrl+R\tgo / continue\n"
    "Esc\tstop the run\n"
    "F1\tthis list\n"
    "\n"
    "On the portrait: move the pointer to read a phase point, left click to forecast the next\n"
    "corner, double click to run on from there, right-drag to zoom, right click to analyse.";

}  // namespace

void TForm1::buildMenus() {
  MainFrame = AddMenuFrame();
  toolkit::setLayoutName(MainFrame->StatusLine(), "StatusLine");

  QMenu* file = MainFrame->AddMenu("&File");
  FileLoad = MainFrame->AddItem(file, "&Load...", "Ctrl+O");
  FileLoad->OnClick = [this] { Button2Click(); };
  MainFrame->AddSeparator(file);
  FileQuit = MainFrame->AddItem(file, "&Quit", "Ctrl+Q");
  FileQuit->OnClick = [this] { ScreenWindow()->close(); };

  QMenu* run = MainFrame->AddMenu("&Run");
  RunGo = MainFrame->AddItem(run, "&Go / Continue", "Ctrl+R");
  RunGo->OnClick = [this] { Button1Click(); };
  RunStop = MainFrame->AddItem(run, "&Stop", "Esc");
  RunStop->OnClick = [this] { StopRun(); };
  RunStop->SetEnabled(false);

  QMenu* help = MainFrame->AddMenu("&Help");
  HelpShortcuts = MainFrame->AddItem(help, "&Keyboard shortcuts", "F1");
  HelpShortcuts->OnClick = [this] {
    QMessageBox::information(ScreenWindow(), QStringLiteral("Keyboard shortcuts"),
                             QString::fromUtf8(shortcutsText));
  };
  HelpAbout = MainFrame->AddItem(help, "&About Trapezola");
  HelpAbout->OnClick = [this] {
    QMessageBox::about(
        ScreenWindow(), QStringLiteral("About Trapezola"),
        QStringLiteral("Trapezola " TRAPEZOLA_VERSION "\nAn explorer for the circular-trapezoid billiard."));
  };
}

}  // namespace trapezola
