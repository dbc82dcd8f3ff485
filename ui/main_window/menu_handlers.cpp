// The menu bar above the client area and the status line below it. Every item
// runs a handler the client area already has, or one of its own here; none of
// them moves or changes a control of the client area.
#include <QLabel>
#include <QMessageBox>
#include <optional>
#include <string>

#include "core/geometry/table_geometry.h"
#include "explorer/main_window_state.h"
#include "explorer/phase_window.h"
#include "explorer/portrait_record.h"
#include "export/figure_writer.h"
#include "raster/conversions.h"
#include "ui/main_window/field_numbers.h"
#include "ui/main_window/tform1.h"
#include "ui/toolkit/widget_support.h"

namespace trapezola {

namespace {

const char* const shortcutsText =
    "Ctrl+O\tload a stored portrait\n"
    "Ctrl+S\tsave the portrait with all its parameters\n"
    "Ctrl+E\texport a figure with axes (PNG, SVG, PDF)\n"
    "Backspace\tback to the phase window before the last zoom\n"
    "Ctrl+0\tfull view: the whole phase window\n"
    "Ctrl+Q\tquit\n"
    "Ctrl+R\tgo / continue\n"
    "Ctrl+M\tmany orbits at once, one colour an orbit\n"
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
  FileSavePortrait = MainFrame->AddItem(file, "&Save portrait...", "Ctrl+S");
  FileSavePortrait->OnClick = [this] { SavePortrait(); };
  FileExportFigure = MainFrame->AddItem(file, "&Export figure...", "Ctrl+E");
  FileExportFigure->OnClick = [this] { ExportFigure(); };
  FigureDialog->Filter = "PNG (*.png);;SVG (*.svg);;PDF (*.pdf)";
  MainFrame->AddSeparator(file);
  FileQuit = MainFrame->AddItem(file, "&Quit", "Ctrl+Q");
  FileQuit->OnClick = [this] { ScreenWindow()->close(); };

  QMenu* view = MainFrame->AddMenu("&View");
  ViewBackItem = MainFrame->AddItem(view, "&Back", "Backspace");
  ViewBackItem->OnClick = [this] { ViewBack(); };
  ViewFullViewItem = MainFrame->AddItem(view, "&Full view", "Ctrl+0");
  ViewFullViewItem->OnClick = [this] { ViewFullView(); };

  QMenu* run = MainFrame->AddMenu("&Run");
  RunGo = MainFrame->AddItem(run, "&Go / Continue", "Ctrl+R");
  RunGo->OnClick = [this] { Button1Click(); };
  RunStop = MainFrame->AddItem(run, "&Stop", "Esc");
  RunStop->OnClick = [this] { StopRun(); };
  RunStop->SetEnabled(false);
  MainFrame->AddSeparator(run);
  RunManyOrbits = MainFrame->AddItem(run, "&Many orbits...", "Ctrl+M");
  RunManyOrbits->OnClick = [this] { ManyOrbits(); };

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

void TForm1::SavePortrait() {
  const int repeat = fieldInt("repeat", *repeatField);
  const std::optional<std::string> name =
      storedPortraitFileName(bField->GetText(), ratioField->GetText(), repeat, explorer_.window);
  if (!name) throw toolkit::Exception("The phase window does not fit in a stored portrait's name");
  const std::string& last = SavePictureDialog->FileName;
  const std::size_t slash = last.find_last_of('/');
  SavePictureDialog->FileName = (slash == std::string::npos ? "" : last.substr(0, slash + 1)) + *name;
  if (!SavePictureDialog->Execute()) return;
  PortraitRecord record;
  record.b = bField->GetText();
  record.rr = ratioField->GetText();
  record.distance = distanceField->GetText();
  record.angle = angleField->GetText();
  record.repeat = repeatField->GetText();
  record.window = explorer_.window;
  record.pointSize = pointSizeBox->ItemIndex() + 2;
  record.colour = colorBox->Selected();
  record.resume = explorer_.resume;
  record.version = TRAPEZOLA_VERSION;
  portraitImage->Picture->SaveToFile(SavePictureDialog->FileName, portraitTexts(record));
  MainFrame->SetStatusText("saved " + SavePictureDialog->FileName);
}

void TForm1::ExportFigure() {
  if (FigureDialog->FileName.empty()) FigureDialog->FileName = "figure.pdf";
  if (!FigureDialog->Execute()) return;
  const std::string path = FigureDialog->FileName;
  const std::optional<FigureFormat> format = figureFormatFor(path);
  if (!format) throw toolkit::Exception("Export figure: \"" + path + "\" is not .png, .svg or .pdf");
  int width = figurePngWidth_;
  if (*format == FigureFormat::png) {
    const std::optional<int> chosen = toolkit::TSavePictureDialog::numberAsker(
        ScreenWindow(), "Width of the PNG figure in pixels", width, 200, 20000);
    if (!chosen) return;
    width = figurePngWidth_ = *chosen;
  }
  FigureContent content;
  content.portrait = portraitImage->Canvas;
  content.window = explorer_.window;
  content.corners = {explorer_.table.s1, explorer_.table.s2, explorer_.table.s3, explorer_.table.s4};
  content.title = figureTitle(bField->GetText(), ratioField->GetText());
  FigurePage page;  // two journal columns wide
  page.pngWidth = width;
  toolkit::writeWholeFile(path, renderFigure(content, *format, page));
  MainFrame->SetStatusText("exported " + path);
}

}  // namespace trapezola
