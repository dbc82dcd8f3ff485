// trapezola-cli render: the portrait a fresh "go" run leaves on the window's
// phase-portrait image, written to a picture file.
#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "cli/arguments.h"
#include "cli/commands.h"
#include "core/dynamics/bounce.h"
#include "core/geometry/table_geometry.h"
#include "explorer/explorer.h"
#include "explorer/figure_layout.h"
#include "explorer/history_replay.h"
#include "explorer/main_window_state.h"
#include "explorer/orbit_run.h"
#include "explorer/phase_portrait.h"
#include "explorer/phase_window.h"
#include "explorer/portrait_history.h"
#include "explorer/portrait_record.h"
#include "explorer/window_geometry.h"
#include "export/figure_writer.h"
#include "export/offscreen_qt.h"
#include "files/whole_file.h"
#include "raster/canvas.h"

namespace trapezola::cli {

namespace {

constexpr const char* renderUsage =
    "usage: trapezola-cli render --b B --rr RR --distance S --angle DEG --repeat N\n"
    "                            [--size small|big] [--colour TCOLOR] [--no-grid]\n"
    "                            (--out FILE | --out-dir DIR |\n"
    "                             --figure [--figure-width WIDTH] [--dpi D | --width W]\n"
    "                                      [--legend] --out FILE)\n"
    "       trapezola-cli render --replay SAVED.png --out FILE\n"
    "\n"
    "Writes the 794 x 681 phase portrait that a fresh \"go\" run with these field\n"
    "values leaves in the window (0.0001 <= B <= 1, 1 <= RR <= 10000, S taken round\n"
    "the perimeter, 0 < DEG < 180): N x 1000 bounces (N >= 0), points of the given\n"
    "size (default small) and colour (0x00BBGGRR in hex, as 0x0000FF for red, or\n"
    "the same number in decimal; default 0: black), and\n"
    "the frame, grid and corner curves unless --no-grid. The picture format\n"
    "follows the extension of FILE: .png, .jpg or .bmp.\n"
    "\n"
    "With --out-dir the file is DIR/B_<b>_rr_<rr>_i<N>_kx_<sMax>_kn_<sMin>_px_<phiMax>_pn_<phiMin>.png,\n"
    "the name the window's \"load\" button reads back (b and rr as typed, the four\n"
    "window values in exactly 7 characters), and its path is printed. A PNG file\n"
    "also carries the parameters as text chunks, which the window's load restores.\n"
    "\n"
    "With --figure FILE is a figure for publication: the orbit's dots at their\n"
    "exact (s, phi), a frame with axes (s with round tick values and the corners\n"
    "marked, phi in fractions of pi), a title with b and R8/R, and with --legend\n"
    "the orbit's start. FILE is .pdf or .svg (the page WIDTH wide, default 180mm;\n"
    "85mm is one journal column; the dots are vectors, texts are set at 7 to 9 pt)\n"
    "or .png (WIDTH at --dpi D dots per inch, default 300, or --width W pixels).\n"
    "A figure holds at most 2000000 dots (N <= 2000).\n"
    "\n"
    "With --replay the portrait of SAVED.png (saved by the window's File > Save\n"
    "portrait, or written by this command) is drawn again from the history its\n"
    "texts carry alone: every run, zoom, double click, continue, grid, clear and\n"
    "many-orbit fill since it was blank, pixel for pixel; FILE keeps SAVED.png's\n"
    "texts. A picture without a history, or whose history began with a picture\n"
    "loaded without one, is refused.\n"
    "\n"
    "A run whose orbit leaves the table (a bounce finds no arc) ends there, as in\n"
    "the window: the picture shows the bounces before it, and the tool says so on\n"
    "standard error and exits with status 1.\n";

const char* formatForExtension(const std::string& ext) {
  if (ext == "png") return "PNG";
  if (ext == "jpg" || ext == "jpeg") return "JPEG";
  if (ext == "bmp") return "BMP";
  return nullptr;
}

}  // namespace

FigurePage figurePageOf(const Arguments& args, const std::string& command) {
  FigurePage page;
  if (args.has("figure-width")) {
    const std::optional<double> mm = parseFigureWidth(args.text("figure-width"));
    if (!mm) args.refuse("figure-width", "is not a width from 20mm to 1000mm (as 85mm or 18cm)");
    page.widthMm = *mm;
  }
  if (args.has("width") && args.has("dpi")) throw UsageError(command + ": give --dpi or --width, not both");
  double dpi = 300;
  if (args.has("dpi")) dpi = static_cast<double>(args.integer("dpi", 10));
  page.pngWidth = pngWidthFor(page.widthMm, dpi);
  if (args.has("width")) {
    const std::int64_t width = args.integer("width", minimumPngWidth);
    if (width > maximumPngWidth) args.refuse("width", "is beyond 20000 pixels");
    page.pngWidth = static_cast<int>(width);
  }
  if (page.pngWidth > maximumPngWidth) args.refuse("dpi", "makes the picture wider than 20000 pixels");
  if (page.pngWidth < minimumPngWidth) args.refuse("dpi", "makes the picture narrower than 200 pixels");
  return page;
}

std::string lowerExtension(const std::string& path) {
  const auto dot = path.find_last_of('.');
  const auto slash = path.find_last_of('/');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
  std::string ext = path.substr(dot + 1);
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return ext;
}

// Encodes the picture in memory and writes it whole or not at all: a failed
// write leaves no half picture under the name that "load" reads.
// A PNG also carries the run's parameters as text chunks (portrait_record.h),
// the same the window's File > Save portrait writes.
void writeCanvas(const toolkit::TCanvas& canvas, const std::string& path, const char* format,
                 const std::vector<std::pair<std::string, std::string>>& texts) {
  QImage view(reinterpret_cast<const uchar*>(canvas.bits()), canvas.width(), canvas.height(),
              canvas.width() * 4, QImage::Format_RGB32);
  if (format[0] == 'P') {
    for (const auto& [key, value] : texts) {
      view.setText(QString::fromStdString(key), QString::fromStdString(value));
    }
  }
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (!view.save(&buffer, format, format[0] == 'J' ? 95 : -1)) {
    throw FileWriteError("cannot encode the picture for " + quoted(path));
  }
  WholeFileWriter file(path);
  file.commit(std::span<const char>(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

void writeCanvas(const toolkit::TCanvas& canvas, const std::string& path, const char* format,
                 const PortraitRecord& record, const PortraitHistory& history) {
  std::vector<std::pair<std::string, std::string>> texts = portraitTexts(record);
  texts.emplace_back(historyTextKey, historyText(history));
  writeCanvas(canvas, path, format, texts);
}

namespace {

// The bounces of a run that left the table, before the one that found no arc.
std::int64_t bouncesBeforeLeaving(const Explorer& launched) {
  Ball ball = launched.ball;
  std::int64_t n = 0;
  while (plottedBounce(launched.table, ball, [](const Ball&) {}) == BounceStatus::ok) ++n;
  return n;
}

// render --replay: the saved portrait drawn again from its history alone, with
// the saved picture's texts, so that the window loads it as it loaded the
// original.
int replayCommand(const Arguments& args, std::FILE* err) {
  for (const char* option : {"b", "rr", "distance", "angle", "repeat", "size", "colour", "no-grid", "out-dir",
                             "figure", "width", "figure-width", "dpi", "legend"}) {
    if (args.has(option)) {
      throw UsageError(std::string("trapezola-cli render: --replay takes only --out, not --") + option);
    }
  }
  if (!args.has("out")) throw UsageError("trapezola-cli render: --replay needs --out FILE");
  const std::string& saved = args.text("replay");
  const std::string& path = args.text("out");
  const char* format = formatForExtension(lowerExtension(path));
  if (format == nullptr) args.refuse("out", "has no .png, .jpg or .bmp extension");

  QImageReader reader(QString::fromStdString(saved));
  const QImage picture = reader.read();
  if (picture.isNull()) {
    args.refuse("replay", "cannot be read as a picture: " + reader.errorString().toStdString());
  }
  const QString text = picture.text(QString::fromLatin1(historyTextKey));
  if (text.isEmpty()) args.refuse("replay", "holds no portrait history");
  std::string fault;
  const std::optional<PortraitHistory> history = historyFromText(text.toStdString(), fault);
  if (!history) args.refuse("replay", "has a history that does not read: " + fault);
  if (picture.width() != portraitWidth || picture.height() != portraitHeight) {
    args.refuse("replay", "is not a 794 x 681 portrait");
  }

  toolkit::TCanvas portrait(portraitWidth, portraitHeight);
  const int threads = static_cast<int>(std::max(1u, std::min(std::thread::hardware_concurrency(), 256u)));
  if (const std::optional<std::string> stopped = replayHistory(*history, portrait, threads)) {
    std::fprintf(err, "trapezola-cli render: %s cannot be replayed: %s\n", quoted(saved).c_str(),
                 stopped->c_str());
    return 1;
  }
  std::vector<std::pair<std::string, std::string>> texts;
  for (const QString& key : picture.textKeys()) {
    texts.emplace_back(key.toStdString(), picture.text(key).toStdString());
  }
  try {
    writeCanvas(portrait, path, format, texts);
  } catch (const FileWriteError& e) {
    std::fprintf(err, "trapezola-cli render: %s\n", e.what());
    return 1;
  }
  return 0;
}

}  // namespace

int renderCommand(int argc, const char* const* argv, std::FILE* out, std::FILE* err) {
  const Arguments args("trapezola-cli render", argc, argv, 2,
                       {{"b"},
                        {"rr"},
                        {"distance"},
                        {"angle"},
                        {"repeat"},
                        {"size"},
                        {"colour"},
                        {"no-grid", false},
                        {"out"},
                        {"out-dir"},
                        {"figure", false},
                        {"width"},
                        {"figure-width"},
                        {"dpi"},
                        {"legend", false},
                        {"replay"}});
  if (args.helpRequested()) {
    std::fputs(renderUsage, out);
    return 0;
  }
  if (args.has("replay")) return replayCommand(args, err);
  const double b = shapeB(args);
  const double rr = shapeRr(args);
  const double distance = args.real("distance");
  const double angle = startAngle(args);
  const std::int64_t repeat = args.integer("repeat", 0);
  if (repeat > 2147483647) args.refuse("repeat", "is beyond the field's range");

  RunLook look;
  if (args.has("size")) {
    const std::string& size = args.text("size");
    if (size == "small") {
      look.sizeIndex = 0;
    } else if (size == "big") {
      look.sizeIndex = 1;
    } else {
      args.refuse("size", "is neither small nor big");
    }
  }
  if (args.has("colour")) {
    look.colour = static_cast<toolkit::TColor>(args.colour("colour"));
  }
  look.grid = !args.has("no-grid");

  if (args.has("out") == args.has("out-dir")) {
    throw UsageError("trapezola-cli render: give exactly one of --out FILE and --out-dir DIR");
  }
  std::string path;
  const char* format = "PNG";
  const bool figure = args.has("figure");
  std::optional<FigureFormat> figureFormat;
  FigurePage page;
  if (figure) {
    if (!args.has("out")) throw UsageError("trapezola-cli render: --figure needs --out FILE");
    figureFormat = figureFormatFor(args.text("out"));
    if (!figureFormat) args.refuse("out", "has no .png, .svg or .pdf extension");
    page = figurePageOf(args, "trapezola-cli render");
    if (repeat * 1000 > maxFigureDots) {
      args.refuse("repeat", "gives more than " + std::to_string(maxFigureDots) + " dots for a figure");
    }
  } else {
    for (const char* option : {"width", "figure-width", "dpi", "legend"}) {
      if (args.has(option))
        throw UsageError(std::string("trapezola-cli render: --") + option + " belongs to --figure");
    }
  }
  if (figure) {
    path = args.text("out");
  } else if (args.has("out")) {
    path = args.text("out");
    format = formatForExtension(lowerExtension(path));
    if (format == nullptr) args.refuse("out", "has no .png, .jpg or .bmp extension");
  }

  toolkit::TCanvas portrait(portraitWidth, portraitHeight);
  // The window's first go press, on a value of its own.
  Explorer explorer;
  setupTable(explorer, b, rr, distance, angle, static_cast<int>(repeat));
  // The ball the run starts from, for the portrait's history.
  Explorer launched = explorer;
  beginGoRun(launched);
  RunLook dotsOnly = look;
  dotsOnly.grid = false;
  const bool stayed = performGoRun(explorer, portrait, dotsOnly, nullptr) == BounceStatus::ok;
  PortraitHistory history;
  recordRun(history, HistoryStepKind::go, launched.table, launched.window, launched.ball,
            launched.ball.startS, startAngleRadians(angle),
            stayed ? repeat * 1000 : bouncesBeforeLeaving(launched), look.colour, look.sizeIndex + 2);
  if (look.grid) {
    // As the run's own grid: walked with the ball, which keeps its hit record.
    recordGrid(history, explorer.table, explorer.window, explorer.ball.phi);
    drawPhaseGrid(portrait, explorer.table, explorer.ball, explorer.window, explorer.window.scaleS,
                  explorer.window.scalePhi);
  }

  if (args.has("out-dir")) {
    std::string dir = args.text("out-dir");
    if (!dir.empty() && dir.back() != '/') dir += '/';
    const std::optional<std::string> name =
        storedPortraitFileName(args.text("b"), args.text("rr"), repeat, explorer.window);
    if (!name) throw UsageError("the phase window does not fit the stored portrait name");
    path = dir + *name;
  }
  if (figure) {
    // A figure's texts need fonts.
    const OffscreenQt qt;
    FigureContent content;
    content.orbits.push_back(
        figureOrbit(explorer.table, OrbitStart{distance, angle}, repeat * 1000, look.colour));
    content.dotSize = look.sizeIndex + 2;
    content.grid = look.grid;
    content.legend = args.has("legend");
    content.window = explorer.window;
    content.corners = {explorer.table.s1, explorer.table.s2, explorer.table.s3, explorer.table.s4};
    content.title = figureTitle(args.text("b"), args.text("rr"));
    try {
      const std::string bytes = renderFigure(content, *figureFormat, page);
      WholeFileWriter file(path);
      file.commit(std::span<const char>(bytes.data(), bytes.size()));
    } catch (const std::exception& e) {
      std::fprintf(err, "trapezola-cli render: %s\n", e.what());
      return 1;
    }
  } else {
    PortraitRecord record;
    record.b = args.text("b");
    record.rr = args.text("rr");
    record.distance = args.text("distance");
    record.angle = args.text("angle");
    record.repeat = args.text("repeat");
    record.window = explorer.window;
    record.pointSize = look.sizeIndex + 2;
    record.colour = look.colour;
    record.resume = explorer.resume;
    record.version = TRAPEZOLA_VERSION;
    try {
      writeCanvas(portrait, path, format, record, history);
    } catch (const FileWriteError& e) {
      std::fprintf(err, "trapezola-cli render: %s\n", e.what());
      return 1;
    }
    if (args.has("out-dir")) std::fprintf(out, "%s\n", path.c_str());
  }
  if (!stayed) {
    std::fputs("trapezola-cli render: the orbit left the table: a bounce's collision search found no arc\n",
               err);
    return 1;
  }
  return 0;
}

}  // namespace trapezola::cli
