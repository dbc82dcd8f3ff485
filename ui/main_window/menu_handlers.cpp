// The menu bar above the client area and the status line below it. Every item
// runs a handler the client area already has, or one of its own here; none of
// them moves or changes a control of the client area.
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <charconv>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/geometry/table_geometry.h"
#include "explorer/analysis_label.h"
#include "explorer/history_replay.h"
#include "explorer/main_window_state.h"
#include "explorer/phase_window.h"
#include "explorer/portrait_history.h"
#include "explorer/portrait_record.h"
#include "explorer/run_status.h"
#include "export/figure_writer.h"
#include "files/whole_file.h"
#include "raster/conversions.h"
#include "ui/lyapunov_window/lyapunov_graph.h"
#include "ui/main_window/field_numbers.h"
#include "ui/main_window/tform1.h"
#include "ui/toolkit/widget_support.h"

namespace trapezola {

namespace {

const char* const shortcutsText =
    "Ctrl+O\tload a stored portrait\n"
    "Ctrl+S\tsave the portrait with all its parameters\n"
    "Ctrl+E\texport a figure with axes (PNG, SVG, PDF)\n"
    "Ctrl+D\texport the portrait's orbits as numbers (CSV)\n"
    "Ctrl+Shift+C\tcopy the hovered phase point as a trapezola-cli analyse command\n"
    "Backspace\tback to the phase window before the last zoom\n"
    "Ctrl+0\tfull view: the whole phase window\n"
    "Ctrl+Q\tquit\n"
    "Ctrl+R\tgo / continue\n"
    "Ctrl+M\tmany orbits at once, one colour an orbit\n"
    "Ctrl+P\tfind the periodic orbit of the period field's period (0: searched) near the hovered point\n"
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
  FileExportOrbitData = MainFrame->AddItem(file, "Export orbit &data...", "Ctrl+D");
  FileExportOrbitData->OnClick = [this] { ExportOrbitData(); };
  OrbitDataDialog->Filter = "CSV (*.csv)";
  MainFrame->AddSeparator(file);
  FileQuit = MainFrame->AddItem(file, "&Quit", "Ctrl+Q");
  FileQuit->OnClick = [this] { ScreenWindow()->close(); };

  QMenu* edit = MainFrame->AddMenu("&Edit");
  EditCopyPhasePoint = MainFrame->AddItem(edit, "&Copy phase point", "Ctrl+Shift+C");
  EditCopyPhasePoint->OnClick = [this] { CopyPhasePoint(); };

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
  RunFindPeriodicOrbit = MainFrame->AddItem(run, "Find &periodic orbit", "Ctrl+P");
  RunFindPeriodicOrbit->OnClick = [this] { FindPeriodicOrbit(); };

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
  std::vector<std::pair<std::string, std::string>> texts = portraitTexts(record);
  texts.emplace_back(historyTextKey, historyText(explorer_.history));
  portraitImage->Picture->SaveToFile(SavePictureDialog->FileName, texts);
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
  // The dots at their exact (s, phi) where the history knows them all.
  content.orbits = visibleOrbits(explorer_.history, maxFigureDots);
  content.dotSize = explorer_.pointSize;
  content.grid = gridGeneration_ && *gridGeneration_ == portraitImage->Canvas->generation();
  content.window = explorer_.window;
  content.corners = {explorer_.table.s1, explorer_.table.s2, explorer_.table.s3, explorer_.table.s4};
  content.title = figureTitle(bField->GetText(), ratioField->GetText());
  FigurePage page;  // two journal columns wide
  page.pngWidth = width;
  toolkit::writeWholeFile(path, renderFigure(content, *format, page));
  MainFrame->SetStatusText("exported " + path);
}

// File > Export orbit data: every dot of the portrait's history as a row
// "orbit,bounce,s,phi", each orbit's start as bounce 0, numbers with 17
// significant digits: the rows trapezola-cli orbit prints for the same starts.
void TForm1::ExportOrbitData() {
  if (!explorer_.history.replayable) {
    throw toolkit::Exception(
        "Export orbit data: the portrait began as a picture loaded without a history; its orbits are not "
        "known");
  }
  if (OrbitDataDialog->FileName.empty()) OrbitDataDialog->FileName = "orbits.csv";
  if (!OrbitDataDialog->Execute()) return;
  const std::string path = OrbitDataDialog->FileName;
  std::int64_t rows = 0;
  try {
    WholeFileWriter file(path);
    file.write("orbit,bounce,s,phi\n");
    char line[128];
    forEachHistoryDot(explorer_.history, [&](const HistoryDot& dot) {
      char* at = line;
      char* const end = line + sizeof line;
      at = std::to_chars(at, end, dot.orbit).ptr;
      *at++ = ',';
      at = std::to_chars(at, end, dot.bounce).ptr;
      *at++ = ',';
      at = std::to_chars(at, end, dot.s, std::chars_format::general, 17).ptr;
      *at++ = ',';
      at = std::to_chars(at, end, dot.phi, std::chars_format::general, 17).ptr;
      *at++ = '\n';
      file.write(std::string_view(line, static_cast<std::size_t>(at - line)));
      ++rows;
    });
    file.commit();
  } catch (const FileWriteError& error) {
    throw toolkit::Exception(std::string("Export orbit data: ") + error.what());
  }
  MainFrame->SetStatusText("exported " + groupedCount(rows) + " rows to " + path);
}

// Edit > Copy phase point: the hovered point, its table and the analysis
// settings as the trapezola-cli analyse command that repeats the right-click
// analysis there, every number to the last bit.
void TForm1::CopyPhasePoint() {
  if (explorer_.runCount < 1) {
    throw toolkit::Exception("Copy phase point: no portrait yet: run or load one, then point at it");
  }
  const std::string periodText = periodField->GetText();
  int period = 0;
  if (periodText != "0") period = fieldInt("period", *periodField);
  const std::string command =
      analyseCommandText(explorer_.table, explorer_.hover.s, explorer_.hover.phi, period,
                         sensitivitySlider->Position(), LyapunovGraph.blockSize, LyapunovGraph.blockCount);
  QGuiApplication::clipboard()->setText(QString::fromStdString(command));
  MainFrame->SetStatusText("copied: " + command);
}

}  // namespace trapezola
