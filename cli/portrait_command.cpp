// trapezola-cli portrait: the phase portrait of many orbits, one colour an
// orbit, computed on every core and written to a picture file.

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "cli/arguments.h"
#include "cli/commands.h"
#include "cli/terminal_progress.h"
#include "core/geometry/table_geometry.h"
#include "core/jobs/memory_bound.h"
#include "core/jobs/request_limits.h"
#include "explorer/figure_layout.h"
#include "explorer/multi_orbit_portrait.h"
#include "explorer/phase_portrait.h"
#include "explorer/phase_window.h"
#include "export/figure_writer.h"
#include "export/offscreen_qt.h"
#include "files/whole_file.h"
#include "raster/canvas.h"

namespace trapezola::cli {

std::string lowerExtension(const std::string& path);
// render --figure's page options: --figure-width, --dpi, --width.
FigurePage figurePageOf(const Arguments& args, const std::string& command);

namespace {

constexpr const char* portraitUsage =
    "usage: trapezola-cli portrait --b B --rr RR (--start S,DEG ... | --orbits N [--seed K])\n"
    "                              --bounces M --out FILE [--threads T] [--grid]\n"
    "                              [--figure [--figure-width WIDTH] [--dpi D | --width W] [--legend]]\n"
    "\n"
    "Draws the 794 x 681 phase portrait of many orbits on the table\n"
    "(0.0001 <= B <= 1, 1 <= RR <= 10000), in the window's phase window (s across, phi up), bounces 1..M of\n"
    "each orbit (M >= 1) as small dots, exactly where 'trapezola-cli orbit' puts\n"
    "them. Orbit i (from 0) takes colour i mod 21 of a palette of clearly distinct\n"
    "colours, black first; where orbits share a pixel the highest-numbered shows.\n"
    "\n"
    "  --start S,DEG  one orbit from perimeter coordinate S (taken round the\n"
    "                 perimeter) at DEG degrees (0 < DEG < 180), as orbit's\n"
    "                 --distance and --angle; give it once per orbit\n"
    "  --orbits N     N orbits (1 <= N <= 1000000) spread over the phase space by\n"
    "                 the R2 low-discrepancy sequence in (s/s4, (1 - cos phi)/2);\n"
    "                 --seed K (0 <= K < 2^32, default 0) starts it at index K\n"
    "  --threads T    worker threads, 1 to 256 (default: every core); the file is\n"
    "                 the same for every T\n"
    "  --grid         the frame, grid lines and corner curves, as the window draws\n"
    "  --out FILE     a .png or .bmp file, written whole or not at all\n"
    "  --figure       FILE is a figure for publication instead, as render --figure\n"
    "                 writes it (.pdf, .svg or .png; --figure-width, default 180mm,\n"
    "                 --dpi or --width for a PNG): every dot at its exact (s, phi),\n"
    "                 one vector path an orbit in its colour; --legend names each\n"
    "                 orbit by its start. At most 2000000 dots (orbits x M)\n"
    "\n"
    "An orbit whose bounce finds no boundary stops there, and standard error says\n"
    "so in one line; the exit status is 1, with no file, only when no orbit made a\n"
    "single bounce. When standard error is a terminal it shows the progress.\n";

OrbitStart parseStart(const std::string& text) {
  const auto refuse = [&](const char* why) {
    throw UsageError("trapezola-cli portrait: --start " + quoted(text) + " " + why);
  };
  const auto comma = text.find(',');
  if (comma == std::string::npos) refuse("is not S,DEG");
  OrbitStart start;
  if (!parseReal(text.substr(0, comma), start.distance) ||
      !parseReal(text.substr(comma + 1), start.angleDegrees)) {
    refuse("is not S,DEG (two numbers)");
  }
  // S is taken round the perimeter, as orbit's --distance; an angle of 0 or 180
  // degrees runs along the tangent and meets no arc.
  if (!(0 < start.angleDegrees && start.angleDegrees < 180)) refuse("has DEG outside (0, 180)");
  return start;
}

const char* losslessFormat(const std::string& ext) {
  if (ext == "png") return "PNG";
  if (ext == "bmp") return "BMP";
  return nullptr;
}

// The stopped orbits, first ten named, in one line.
std::string stopReport(const std::vector<OrbitOutcome>& outcomes) {
  std::string named;
  std::int64_t stopped = 0;
  for (std::size_t i = 0; i < outcomes.size(); ++i) {
    const OrbitOutcome& o = outcomes[i];
    if (o.stop == BounceStatus::ok) continue;
    if (++stopped <= 10) {
      named += (stopped > 1 ? ", " : "") + std::string("orbit ") + std::to_string(i) + " at bounce " +
               std::to_string(o.bounces + 1) +
               (o.stop == BounceStatus::noArcAccepted ? " (no boundary hit)" : " (bad arc index)");
    }
  }
  if (stopped == 0) return "";
  return "trapezola-cli portrait: " + std::to_string(stopped) + " of " + std::to_string(outcomes.size()) +
         " orbits stopped early: " + named + (stopped > 10 ? ", ..." : "");
}

int writeFigure(const Arguments& args, const BilliardTable& table, const std::vector<OrbitStart>& starts,
                std::int64_t bounces, FigureFormat format, const FigurePage& page, const std::string& path,
                std::FILE* err) {
  WholeFileWriter file(path);
  FigureContent content;
  std::vector<OrbitOutcome> outcomes(starts.size());
  bool anyBounce = false;
  for (std::size_t i = 0; i < starts.size(); ++i) {
    content.orbits.push_back(figureOrbit(table, starts[i], bounces, orbitPalette[i % orbitPalette.size()]));
    const auto done = static_cast<std::int64_t>(content.orbits.back().points.size());
    outcomes[i].bounces = done;
    if (done < bounces) outcomes[i].stop = BounceStatus::noArcAccepted;
    anyBounce = anyBounce || done > 0;
  }
  const std::string stops = stopReport(outcomes);
  if (!anyBounce) {
    std::fprintf(err, "%s; nothing to draw, no file written\n", stops.c_str());
    return 1;
  }
  content.window = freshRunWindow(table);
  content.corners = {table.s1, table.s2, table.s3, table.s4};
  content.grid = args.has("grid");
  content.legend = args.has("legend");
  content.title = figureTitle(args.text("b"), args.text("rr"));
  const OffscreenQt qt;  // a figure's texts need fonts
  std::string bytes;
  try {
    bytes = renderFigure(content, format, page);
  } catch (const std::runtime_error& e) {
    throw FileWriteError(e.what());
  }
  file.commit(std::span<const char>(bytes.data(), bytes.size()));
  if (!stops.empty()) std::fprintf(err, "%s\n", stops.c_str());
  return 0;
}

int drawPortrait(int argc, const char* const* argv, std::FILE* out, std::FILE* err) {
  const Arguments args("trapezola-cli portrait", argc, argv, 2,
                       {{"b"},
                        {"rr"},
                        {"start", true, true},
                        {"orbits"},
                        {"seed"},
                        {"bounces"},
                        {"out"},
                        {"threads"},
                        {"grid", false},
                        {"figure", false},
                        {"figure-width"},
                        {"dpi"},
                        {"width"},
                        {"legend", false}});
  if (args.helpRequested()) {
    std::fputs(portraitUsage, out);
    return 0;
  }
  const double b = shapeB(args);
  const double rr = shapeRr(args);
  const BilliardTable table = buildTable(b, rr);

  std::vector<OrbitStart> starts;
  if (args.has("start") == args.has("orbits")) {
    throw UsageError("trapezola-cli portrait: give either --start S,DEG (once per orbit) or --orbits N");
  }
  if (args.has("start")) {
    if (args.has("seed")) throw UsageError("trapezola-cli portrait: --seed goes with --orbits, not --start");
    for (const std::string& text : args.texts("start")) starts.push_back(parseStart(text));
    if (static_cast<std::int64_t>(starts.size()) > maxPortraitOrbits) {
      throw UsageError("trapezola-cli portrait: more than " + std::to_string(maxPortraitOrbits) + " --start");
    }
  } else {
    const std::int64_t count = args.integer("orbits", 1);
    if (count > maxPortraitOrbits) args.refuse("orbits", "is above " + std::to_string(maxPortraitOrbits));
    std::uint64_t seed = 0;
    if (args.has("seed")) {
      const std::int64_t k = args.integer("seed", 0);
      if (static_cast<std::uint64_t>(k) >= seedLimit) args.refuse("seed", "is not below 2^32");
      seed = static_cast<std::uint64_t>(k);
    }
    starts = spreadStarts(table, count, seed);
  }

  const std::int64_t bounces = args.integer("bounces", 1);
  const auto orbitCount = static_cast<std::int64_t>(starts.size());
  if (!totalBouncesFit(bounces, orbitCount)) args.refuse("bounces", "is too many for that many orbits");

  int threads = static_cast<int>(std::thread::hardware_concurrency());
  if (threads < 1) threads = 1;
  if (args.has("threads")) {
    const std::int64_t t = args.integer("threads", 1);
    if (t > maxThreads) args.refuse("threads", "is above " + std::to_string(maxThreads));
    threads = static_cast<int>(t);
  }

  const std::string& path = args.text("out");
  if (args.has("figure")) {
    const std::optional<FigureFormat> figureFormat = figureFormatFor(path);
    if (!figureFormat) args.refuse("out", "has no .png, .svg or .pdf extension");
    if (bounces * orbitCount > maxFigureDots) {
      args.refuse("bounces", "gives more than " + std::to_string(maxFigureDots) + " dots for a figure");
    }
    const FigurePage page = figurePageOf(args, "trapezola-cli portrait");
    return writeFigure(args, table, starts, bounces, *figureFormat, page, path, err);
  }
  for (const char* option : {"width", "figure-width", "dpi", "legend"}) {
    if (args.has(option))
      throw UsageError(std::string("trapezola-cli portrait: --") + option + " belongs to --figure");
  }
  const char* format = losslessFormat(lowerExtension(path));
  if (format == nullptr) args.refuse("out", "has no .png or .bmp extension");
  // The workers' images, the canvas and the picture's bytes, before any is allocated.
  if (const std::optional<std::string> why =
          memoryRefusal(portraitMemoryNeed(orbitCount, threads) + 8.0 * portraitWidth * portraitHeight)) {
    throw UsageError("trapezola-cli portrait: " + std::to_string(orbitCount) + " orbits on " +
                     std::to_string(threads) + " threads " + *why);
  }

  // Created before the run: a destination that cannot be written fails now,
  // not after the bounces.
  WholeFileWriter file(path);

  const PhaseWindowRecord window = freshRunWindow(table);
  OrbitPortrait portrait;
  {
    const std::unique_ptr<TerminalProgress> shown = TerminalProgress::onTerminal(err, "portrait", "bounces");
    portrait = drawOrbits(table, window, starts, bounces, threads, shown.get());
  }

  const std::string stops = stopReport(portrait.outcomes);
  bool anyBounce = false;
  for (const OrbitOutcome& o : portrait.outcomes) anyBounce = anyBounce || o.bounces > 0;
  if (!anyBounce) {
    std::fprintf(err, "%s; nothing to draw, no file written\n", stops.c_str());
    return 1;
  }

  toolkit::TCanvas canvas(portraitWidth, portraitHeight);
  paintOrbits(canvas, portrait);
  if (args.has("grid")) {
    // The corner curves are walked with a ball of their own.
    Ball walker;
    drawPhaseGrid(canvas, table, walker, window, window.scaleS, window.scalePhi);
  }

  const QImage view(reinterpret_cast<const uchar*>(canvas.bits()), canvas.width(), canvas.height(),
                    canvas.width() * 4, QImage::Format_RGB32);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (!view.save(&buffer, format)) throw FileWriteError("cannot encode the picture for " + quoted(path));
  file.commit(std::span<const char>(bytes.constData(), static_cast<std::size_t>(bytes.size())));
  if (!stops.empty()) std::fprintf(err, "%s\n", stops.c_str());
  return 0;
}

}  // namespace

int portraitCommand(int argc, const char* const* argv, std::FILE* out, std::FILE* err) {
  try {
    return drawPortrait(argc, argv, out, err);
  } catch (const FileWriteError& e) {
    std::fprintf(err, "trapezola-cli portrait: %s\n", e.what());
    return 1;
  }
}

}  // namespace trapezola::cli
