// The Python module `trapezola`: the billiard engine with NumPy arrays for
// results. Every function is a thin layer over the engine that trapezola-cli
// calls, so its numbers are the same bits and its portraits the same pixels;
// the module adds only argument checks (with the command-line tool's words)
// and the conversion to NumPy.
//
// Conventions, as everywhere in the engine: s is the perimeter coordinate, the
// arc length from corner 1 (the top right corner) counter-clockwise, 0 <= s <
// s4; phi is the angle in radians from the counter-clockwise tangent to the
// outgoing direction, 0 < phi < pi; start angles are given in degrees against
// that tangent. Table coordinates put the bottom corners at x = -1 and x = 1.
//
// Long calls release the GIL. Orbits run in chunks on the calling thread, which
// takes the GIL back between chunks to look for Ctrl+C; the portrait and the
// atlas run on the engine's worker threads, whose progress report (on the
// calling thread, four times a second) does the same and, on an interrupt,
// throws, which stops the workers; analyse and lyapunov run on one worker
// with a stop flag while the calling thread looks for Ctrl+C.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <atomic>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <future>
#include <limits>
#include <new>
#include <optional>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "core/analysis/birkhoff_catalogue.h"
#include "core/analysis/chaos_atlas.h"
#include "core/analysis/finite_time_lyapunov.h"
#include "core/analysis/monodromy.h"
#include "core/analysis/orbit_continuation.h"
#include "core/analysis/orbit_report.h"
#include "core/analysis/orbit_starts.h"
#include "core/analysis/periodic_solver.h"
#include "core/dynamics/orbit_walk.h"
#include "core/geometry/boundary.h"
#include "core/geometry/parameter_ranges.h"
#include "core/geometry/table_geometry.h"
#include "core/jobs/memory_bound.h"
#include "core/jobs/parallel_for.h"
#include "core/jobs/request_limits.h"
#include "explorer/analysis_label.h"
#include "explorer/history_replay.h"
#include "explorer/multi_orbit_portrait.h"
#include "explorer/phase_portrait.h"
#include "explorer/phase_window.h"
#include "explorer/portrait_history.h"
#include "files/quoted.h"
#include "files/sha256.h"
#include "files/whole_file.h"
#include "raster/canvas.h"
#include "report/atlas_files.h"

namespace py = pybind11;

namespace trapezola::python {

namespace {

// Bounces an orbit runs between two looks for Ctrl+C: about a tenth of a
// second.
constexpr std::int64_t orbitChunk = std::int64_t{1} << 20;
// How often analyse and lyapunov look for Ctrl+C while their worker runs.
constexpr auto interruptInterval = std::chrono::milliseconds(100);

// A number as Python's repr shows it (the shortest text that reads back the same).
std::string numberText(double v) {
  char text[32];
  const auto [end, ec] = std::to_chars(text, text + sizeof text, v);
  return ec == std::errc() ? std::string(text, end) : std::string("?");
}

[[noreturn]] void refuse(const char* function, const std::string& what) {
  throw py::value_error(std::string("trapezola.") + function + ": " + what);
}

// A request whose buffers would pass the memory bound (core/jobs/memory_bound.h)
// raises MemoryError before anything is allocated, with the tool's words.
void withinMemory(const char* function, const std::string& what, double bytes) {
  if (const std::optional<std::string> why = memoryRefusal(bytes)) {
    const std::string message = std::string("trapezola.") + function + ": " + what + " " + *why;
    PyErr_SetString(PyExc_MemoryError, message.c_str());
    throw py::error_already_set();
  }
}

double checked(const char* function, const char* name, double v, const ParameterRange& range) {
  if (!range.accepts(v)) refuse(function, std::string(name) + " " + numberText(v) + " " + range.refusal);
  return v;
}

std::int64_t atLeast(const char* function, const char* name, std::int64_t v, std::int64_t minimum) {
  if (v < minimum)
    refuse(function, std::string(name) + " " + std::to_string(v) + " is below " + std::to_string(minimum));
  return v;
}

std::int64_t atMost(const char* function, const char* name, std::int64_t v, std::int64_t maximum,
                    const char* word = "is above ") {
  if (v > maximum)
    refuse(function, std::string(name) + " " + std::to_string(v) + " " + word + std::to_string(maximum));
  return v;
}

int threadCount(const char* function, std::optional<std::int64_t> threads) {
  if (!threads) return std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
  return static_cast<int>(atMost(function, "threads", atLeast(function, "threads", *threads, 1), maxThreads));
}

std::uint64_t seedOf(const char* function, std::int64_t seed) {
  atLeast(function, "seed", seed, 0);
  if (static_cast<std::uint64_t>(seed) >= seedLimit) {
    refuse(function, "seed " + std::to_string(seed) + " is not below 2^32");
  }
  return static_cast<std::uint64_t>(seed);
}

// Ctrl+C during a call whose work runs on the engine's threads: the progress
// report comes on the calling thread, which takes the GIL for a moment and
// lets Python run its signal handlers. A raised KeyboardInterrupt is thrown on
// as error_already_set, which stops the workers.
void checkSignals() {
  py::gil_scoped_acquire gil;
  if (PyErr_CheckSignals() != 0) throw py::error_already_set();
}

// Waits for a worker that runs without the GIL, looking for Ctrl+C meanwhile;
// on one, tells the worker to stop, waits for it and throws the interrupt.
void waitLookingForCtrlC(std::future<void>& worker, std::atomic<bool>& stop) {
  while (worker.wait_for(interruptInterval) != std::future_status::ready) {
    try {
      checkSignals();
    } catch (...) {
      stop.store(true, std::memory_order_relaxed);
      worker.wait();
      throw;
    }
  }
  // A failure of the worker's own (memory) comes out here.
  worker.get();
}

// drawOrbits's workers stop on its stop flag: the report raises it before the
// interrupt leaves drawOrbits (whose workers join as it unwinds).
class PortraitInterrupt : public OrbitProgress {
 public:
  void progress(std::int64_t, std::int64_t) override {
    try {
      checkSignals();
    } catch (...) {
      stop.store(true, std::memory_order_relaxed);
      throw;
    }
  }
  std::atomic<bool> stop{false};
};

class AtlasInterrupt : public AtlasProgress {
 public:
  void progress(std::int64_t, std::int64_t, std::int64_t) override { checkSignals(); }
};

// The table of a Python call: built once, then only read (any number of
// threads may run orbits on it).
struct Table {
  BilliardTable geometry;
};

Table makeTable(double b, double rr) {
  checked("Table", "b", b, shapeBRange);
  checked("Table", "rr", rr, shapeRrRange);
  return Table{buildTable(b, rr)};
}

std::vector<OrbitStart> startList(const char* function, const std::vector<std::pair<double, double>>& pairs) {
  std::vector<OrbitStart> starts;
  starts.reserve(pairs.size());
  for (const auto& [distance, angle] : pairs) {
    if (!std::isfinite(distance))
      refuse(function, "start distance " + numberText(distance) + " is not a number");
    checked(function, "start angle", angle, startAngleRange);
    starts.push_back(OrbitStart{distance, angle});
  }
  return starts;
}

py::array_t<OrbitRow> orbit(const Table& table, double distance, double angleDegrees, std::int64_t bounces,
                            std::int64_t every) {
  if (!std::isfinite(distance)) refuse("orbit", "distance " + numberText(distance) + " is not a number");
  checked("orbit", "angle_deg", angleDegrees, startAngleRange);
  atLeast("orbit", "bounces", bounces, 0);
  atLeast("orbit", "every", every, 1);
  // In doubles, and at most one row more: orbitRowCount of 2^63 - 1 bounces
  // overflows.
  const double rowCount = 2 + std::floor(static_cast<double>(bounces) / static_cast<double>(every));
  withinMemory("orbit",
               "the rows of " + std::to_string(bounces) + " bounces (every=" + std::to_string(every) + ")",
               rowCount * sizeof(OrbitRow));
  py::array_t<OrbitRow> rows(static_cast<py::ssize_t>(orbitRowCount(bounces, every)));
  OrbitRow* row = rows.mutable_data();
  OrbitWalk walk(table.geometry, distance, angleDegrees, bounces, every);
  *row++ = walk.startRow();
  while (!walk.finished()) {
    {
      py::gil_scoped_release release;
      walk.advance(walk.bouncesDone() + orbitChunk, [&row](const OrbitRow& r) {
        *row++ = r;
        return true;
      });
    }
    if (PyErr_CheckSignals() != 0) throw py::error_already_set();
  }
  if (walk.leftAt() != 0) {
    throw std::runtime_error("trapezola.orbit: the orbit left the table at bounce " +
                             std::to_string(walk.leftAt()) + ": its collision search found no arc");
  }
  return rows;
}

// A portrait-sized canvas as rows of RGB bytes.
py::array_t<std::uint8_t> rgbOf(const toolkit::TCanvas& canvas) {
  py::array_t<std::uint8_t> rgb({portraitHeight, portraitWidth, 3});
  std::uint8_t* out = rgb.mutable_data();
  const std::uint32_t* in = canvas.bits();
  for (int i = 0; i < portraitWidth * portraitHeight; ++i) {
    *out++ = static_cast<std::uint8_t>(in[i] >> 16);
    *out++ = static_cast<std::uint8_t>(in[i] >> 8);
    *out++ = static_cast<std::uint8_t>(in[i]);
  }
  return rgb;
}

py::array_t<std::uint8_t> portrait(const Table& table,
                                   std::optional<std::vector<std::pair<double, double>>> starts,
                                   std::optional<std::int64_t> orbits, std::int64_t bounces,
                                   std::int64_t seed, std::optional<std::int64_t> threads, bool grid) {
  if (starts.has_value() == orbits.has_value()) {
    refuse("portrait", "give either starts ((s, deg) pairs, one per orbit) or orbits");
  }
  std::vector<OrbitStart> list;
  if (starts) {
    if (seed != 0) refuse("portrait", "seed goes with orbits, not starts");
    list = startList("portrait", *starts);
    if (list.empty()) refuse("portrait", "starts is empty");
    atMost("portrait", "len(starts)", static_cast<std::int64_t>(list.size()), maxPortraitOrbits);
  } else {
    atMost("portrait", "orbits", atLeast("portrait", "orbits", *orbits, 1), maxPortraitOrbits);
    list = spreadStarts(table.geometry, *orbits, seedOf("portrait", seed));
  }
  atLeast("portrait", "bounces", bounces, 1);
  if (!totalBouncesFit(bounces, static_cast<std::int64_t>(list.size()))) {
    refuse("portrait", "bounces " + std::to_string(bounces) + " is too many for that many orbits");
  }
  const int workers = threadCount("portrait", threads);
  withinMemory("portrait", std::to_string(list.size()) + " orbits on " + std::to_string(workers) + " threads",
               portraitMemoryNeed(static_cast<std::int64_t>(list.size()), workers) +
                   3.0 * portraitWidth * portraitHeight);

  const PhaseWindowRecord window = freshRunWindow(table.geometry);
  toolkit::TCanvas canvas(portraitWidth, portraitHeight);
  bool anyBounce = false;
  {
    py::gil_scoped_release release;
    PortraitInterrupt interrupt;
    const OrbitPortrait drawn =
        drawOrbits(table.geometry, window, list, bounces, workers, &interrupt, &interrupt.stop);
    for (const OrbitOutcome& o : drawn.outcomes) anyBounce = anyBounce || o.bounces > 0;
    paintOrbits(canvas, drawn);
  }
  if (!anyBounce) refuse("portrait", "no orbit made a single bounce: nothing to draw");
  if (grid) {
    // The corner curves are walked with a ball of their own.
    Ball walker;
    drawPhaseGrid(canvas, table.geometry, walker, window, window.scaleS, window.scalePhi);
  }
  return rgbOf(canvas);
}

py::array_t<std::uint8_t> replayHistoryText(const std::string& text, std::optional<std::int64_t> threads) {
  std::string fault;
  const std::optional<PortraitHistory> history = historyFromText(text, fault);
  if (!history) refuse("replay_history", "the history does not read: " + fault);
  const int workers = threadCount("replay_history", threads);
  toolkit::TCanvas canvas(portraitWidth, portraitHeight);
  std::optional<std::string> stopped;
  {
    py::gil_scoped_release release;
    stopped = replayHistory(*history, canvas, workers);
  }
  if (stopped) refuse("replay_history", "the history cannot be replayed: " + *stopped);
  return rgbOf(canvas);
}

py::object nullable(bool present, double v) {
  return present ? py::object(py::float_(v)) : py::object(py::none());
}

py::dict analyse(const Table& table, double distance, double angleDegrees, std::int64_t period,
                 std::int64_t sensitivity, std::int64_t blocksize, std::int64_t blocks,
                 double shadowTolerance) {
  if (!std::isfinite(distance)) refuse("analyse", "distance " + numberText(distance) + " is not a number");
  checked("analyse", "angle_deg", angleDegrees, startAngleRange);
  OrbitReportRequest request;
  request.b = table.geometry.b;
  request.rr = table.geometry.rr;
  request.distance = distance;
  request.angleDegrees = angleDegrees;
  // The window takes a negative period as the identity's; no orbit has one.
  if (period != 0) {
    request.typedPeriod =
        static_cast<int>(atMost("analyse", "period", atLeast("analyse", "period", period, 0), INT32_MAX));
  }
  request.sensitivity = static_cast<int>(atMost(
      "analyse", "sensitivity", atLeast("analyse", "sensitivity", sensitivity, -100), 10, "is beyond "));
  request.blockSize = static_cast<int>(atMost(
      "analyse", "blocksize", atLeast("analyse", "blocksize", blocksize, 1), maxBlockSize, "is beyond "));
  request.blockCount = static_cast<int>(
      atMost("analyse", "blocks", atLeast("analyse", "blocks", blocks, 1), maxSeriesBlocks, "is beyond "));
  if (!(shadowTolerance > 0))
    refuse("analyse", "shadow_tolerance " + numberText(shadowTolerance) + " is not above 0");
  request.shadowTolerance = shadowTolerance;

  OrbitReport report;
  {
    py::gil_scoped_release release;
    std::atomic<bool> stop{false};
    auto worker = std::async(std::launch::async, [&] { report = analyseOrbit(request, nullptr, &stop); });
    waitLookingForCtrlC(worker, stop);
  }
  const PeriodicOrbitAnalysis& a = report.analysis;
  py::dict result;
  result["period"] = a.period;
  result["periodFound"] = a.periodFound && a.period != notPeriodic;
  result["returnCounts"] =
      a.searched ? py::object(py::make_tuple(a.returnCounts[0], a.returnCounts[1], a.returnCounts[2]))
                 : py::object(py::none());
  result["trace"] = nullable(a.hasMonodromy, a.trace);
  result["traceBound"] = nullable(a.hasMonodromy, a.traceBound);
  result["class"] = a.hasClass ? py::object(py::str(orbitClassName(a.orbitClass))) : py::object(py::none());
  result["m11"] = nullable(a.hasMonodromy, a.monodromy.m11);
  result["m22"] = nullable(a.hasMonodromy, a.monodromy.m22);
  const std::optional<std::string> label = analysisLabel(a);
  result["label"] = label ? py::object(py::str(*label)) : py::object(py::none());
  result["series"] =
      py::array_t<double>(static_cast<py::ssize_t>(report.series.size()), report.series.data());
  if (report.fit) {
    py::dict fit;
    fit["a"] = report.fit->slope;
    fit["b"] = report.fit->intercept;
    fit["gradient"] = report.fit->gradient;
    fit["stderr"] = report.fit->gradientStandardError
                        ? py::object(py::float_(*report.fit->gradientStandardError))
                        : py::object(py::none());
    result["fit"] = fit;
  } else {
    result["fit"] = py::none();
  }
  result["followedBounces"] = report.followedBounces;
  result["trustedBounces"] = report.trustedBounces;
  return result;
}

py::dict lyapunov(const Table& table, const std::vector<std::pair<double, double>>& starts,
                  std::int64_t bounces, std::int64_t boxes) {
  const std::vector<OrbitStart> list = startList("lyapunov", starts);
  atLeast("lyapunov", "bounces", bounces, 1);
  const int boxesPerSide =
      static_cast<int>(atMost("lyapunov", "boxes", atLeast("lyapunov", "boxes", boxes, 1), maxBoxesPerSide));
  const auto count = static_cast<py::ssize_t>(list.size());
  py::array_t<double> exponent(count);
  py::array_t<std::int64_t> done(count);
  py::array_t<bool> stopped(count);
  py::array_t<std::uint8_t> visited(
      {static_cast<py::ssize_t>(boxesPerSide), static_cast<py::ssize_t>(boxesPerSide)});
  std::memset(visited.mutable_data(), 0, static_cast<std::size_t>(visited.size()));
  std::vector<std::uint8_t> orbitBoxes(static_cast<std::size_t>(boxesPerSide) *
                                       static_cast<std::size_t>(boxesPerSide));
  std::vector<OrbitExponent> results(list.size());
  {
    // The orbits run on one worker; this thread looks for Ctrl+C meanwhile
    // and, on one, tells the worker to stop and waits for it.
    py::gil_scoped_release release;
    std::atomic<bool> stop{false};
    auto worker = std::async(std::launch::async, [&] {
      for (std::size_t i = 0; i < list.size() && !stop.load(std::memory_order_relaxed); ++i) {
        results[i] = finiteTimeLyapunov(table.geometry, list[i], bounces, orbitBoxes, boxesPerSide, &stop);
      }
    });
    waitLookingForCtrlC(worker, stop);
  }
  for (py::ssize_t i = 0; i < count; ++i) {
    const OrbitExponent& result = results[static_cast<std::size_t>(i)];
    exponent.mutable_at(i) = result.exponent;
    done.mutable_at(i) = result.bounces;
    stopped.mutable_at(i) = result.stop != BounceStatus::ok;
  }
  for (std::size_t k = 0; k < orbitBoxes.size(); ++k) visited.mutable_data()[k] = orbitBoxes[k];
  py::dict result;
  result["exponent"] = exponent;
  result["bounces"] = done;
  result["stopped"] = stopped;
  result["boxes"] = visited;
  return result;
}

// The periods and guesses of periodic and continue, with their words.
int periodOf(const char* function, std::int64_t period) {
  return static_cast<int>(
      atMost(function, "period", atLeast(function, "period", period, 2), maxPeriodicPeriod));
}

PhasePoint nearOf(const char* function, const std::pair<double, double>& near) {
  if (!std::isfinite(near.first))
    refuse(function, "near distance " + numberText(near.first) + " is not a number");
  if (!startAngleRange.accepts(near.second)) {
    refuse(function,
           "near (" + numberText(near.first) + ", " + numberText(near.second) + ") has DEG outside (0, 180)");
  }
  return PhasePoint{near.first, startAngleRadians(near.second)};
}

py::object className(bool present, OrbitClass c) {
  return present ? py::object(py::str(orbitClassName(c))) : py::object(py::none());
}

// Runs `work` on one worker without the GIL, looking for Ctrl+C meanwhile; the
// work stops between its steps when `stop` rises.
template <typename Work>
void runInterruptible(Work&& work) {
  py::gil_scoped_release release;
  std::atomic<bool> stop{false};
  auto worker = std::async(std::launch::async, [&] { work(stop); });
  waitLookingForCtrlC(worker, stop);
}

py::dict periodicOrbit(const Table& table, std::int64_t period, const std::pair<double, double>& near) {
  const int n = periodOf("periodic_orbit", period);
  PhasePoint guess = nearOf("periodic_orbit", near);
  guess.s = wrappedPerimeterCoordinate(guess.s, table.geometry.s4);
  PeriodicOrbitSolution o;
  runInterruptible([&](std::atomic<bool>&) { o = solvePeriodicOrbit(table.geometry, n, guess); });
  const bool ok = o.converged;
  py::dict result;
  result["converged"] = ok;
  result["period"] = o.period;
  result["rotation"] = ok ? py::object(py::str(std::to_string(o.turns) + "/" + std::to_string(o.period)))
                          : py::object(py::none());
  if (ok) {
    py::array_t<double> points({static_cast<py::ssize_t>(o.points.size()), py::ssize_t{2}});
    for (std::size_t i = 0; i < o.points.size(); ++i) {
      points.mutable_at(static_cast<py::ssize_t>(i), 0) = o.points[i].s;
      points.mutable_at(static_cast<py::ssize_t>(i), 1) = o.points[i].phi;
    }
    result["points"] = points;
  } else {
    result["points"] = py::none();
  }
  result["length"] = nullable(ok, o.length);
  result["trace"] = nullable(ok, o.trace);
  result["class"] = className(ok && o.hasClass, o.orbitClass);
  result["m11"] = nullable(ok, o.monodromy.m11);
  result["m22"] = nullable(ok, o.monodromy.m22);
  // As the tool's JSON: null (None) where no iterate made the period's bounces.
  result["residual"] =
      std::isfinite(o.residual) ? py::object(py::float_(o.residual)) : py::object(py::none());
  return result;
}

// A column of texts as a NumPy array of str.
py::array textColumn(const std::vector<std::string>& texts) {
  return py::array(py::cast(texts)).attr("astype")("str");
}

py::dict birkhoffOrbitTable(const Table& table, std::int64_t maxPeriodValue) {
  const int n = static_cast<int>(atMost("birkhoff_orbits", "max_period",
                                        atLeast("birkhoff_orbits", "max_period", maxPeriodValue, 2),
                                        maxCataloguePeriod));
  std::vector<BirkhoffOrbit> catalogue;
  runInterruptible([&](std::atomic<bool>& stop) { catalogue = birkhoffCatalogue(table.geometry, n, &stop); });
  const auto count = static_cast<py::ssize_t>(catalogue.size());
  py::array_t<std::int64_t> m(count), period(count);
  py::array_t<double> s(count), phi(count), length(count), trace(count), residual(count);
  std::vector<std::string> kind, cls;
  for (py::ssize_t i = 0; i < count; ++i) {
    const BirkhoffOrbit& row = catalogue[static_cast<std::size_t>(i)];
    m.mutable_at(i) = row.m;
    period.mutable_at(i) = row.n;
    s.mutable_at(i) = row.orbit.points[0].s;
    phi.mutable_at(i) = row.orbit.points[0].phi;
    length.mutable_at(i) = row.orbit.length;
    trace.mutable_at(i) = row.orbit.trace;
    residual.mutable_at(i) = row.orbit.residual;
    kind.emplace_back(birkhoffKindName(row.kind));
    cls.emplace_back(row.orbit.hasClass ? orbitClassName(row.orbit.orbitClass) : "");
  }
  py::dict result;
  result["m"] = m;
  result["n"] = period;
  result["kind"] = textColumn(kind);
  result["s"] = s;
  result["phi"] = phi;
  result["length"] = length;
  result["trace"] = trace;
  result["class"] = textColumn(cls);
  result["residual"] = residual;
  return result;
}

py::dict continueOrbitTable(std::int64_t period, const std::pair<double, double>& near, const py::object& b,
                            const py::object& rr) {
  const char* function = "continue_orbit";
  const bool alongB = py::isinstance<py::tuple>(b) || py::isinstance<py::list>(b);
  const bool alongRr = py::isinstance<py::tuple>(rr) || py::isinstance<py::list>(rr);
  if (alongB == alongRr)
    refuse(function, "give one of b and rr as (from, to, count) and the other as a value");
  ContinuationRequest request;
  request.parameter = alongB ? FamilyParameter::b : FamilyParameter::rr;
  const py::sequence range = alongB ? b.cast<py::sequence>() : rr.cast<py::sequence>();
  const char* name = alongB ? "b" : "rr";
  const ParameterRange& accepted = alongB ? shapeBRange : shapeRrRange;
  if (py::len(range) != 3) refuse(function, std::string(name) + " is not (from, to, count)");
  request.from = checked(function, (std::string(name) + " from").c_str(), range[0].cast<double>(), accepted);
  request.to = checked(function, (std::string(name) + " to").c_str(), range[1].cast<double>(), accepted);
  const std::int64_t count = range[2].cast<std::int64_t>();
  const std::string rangeText = std::string(name) + " (" + numberText(request.from) + ", " +
                                numberText(request.to) + ", " + std::to_string(count) + ")";
  if (count < 2 || count > maxContinuationSteps) {
    refuse(function, rangeText + " has a COUNT outside 2 to " + std::to_string(maxContinuationSteps));
  }
  request.count = static_cast<int>(count);
  if (request.from == request.to) refuse(function, rangeText + " has FROM equal to TO");
  request.fixed = alongB ? checked(function, "rr", rr.cast<double>(), shapeRrRange)
                         : checked(function, "b", b.cast<double>(), shapeBRange);
  request.period = periodOf(function, period);
  request.near = nearOf(function, near);
  const BilliardTable first =
      alongB ? buildTable(request.from, request.fixed) : buildTable(request.fixed, request.from);
  request.near.s = wrappedPerimeterCoordinate(request.near.s, first.s4);

  Continuation c;
  runInterruptible([&](std::atomic<bool>& stop) { c = continueOrbit(request, &stop); });
  const auto count2 = static_cast<py::ssize_t>(c.steps.size());
  py::array_t<double> parameter(count2), s(count2), phi(count2), length(count2), trace(count2);
  std::vector<std::string> cls;
  for (py::ssize_t i = 0; i < count2; ++i) {
    const ContinuationStep& step = c.steps[static_cast<std::size_t>(i)];
    parameter.mutable_at(i) = step.parameter;
    s.mutable_at(i) = step.point.s;
    phi.mutable_at(i) = step.point.phi;
    length.mutable_at(i) = step.length;
    trace.mutable_at(i) = step.trace;
    cls.emplace_back(step.hasClass ? orbitClassName(step.orbitClass) : "");
  }
  py::dict steps;
  steps["parameter"] = parameter;
  steps["s"] = s;
  steps["phi"] = phi;
  steps["length"] = length;
  steps["trace"] = trace;
  steps["class"] = textColumn(cls);
  py::list bifurcations;
  for (const Bifurcation& found : c.bifurcations) {
    py::dict entry;
    entry["parameter"] = found.parameter;
    entry["trace"] = found.trace;
    entry["kind"] = bifurcationKindName(found);
    bifurcations.append(entry);
  }
  py::dict result;
  result["steps"] = steps;
  result["bifurcations"] = bifurcations;
  result["stopped"] = c.stopped.empty() ? py::object(py::none()) : py::object(py::str(c.stopped));
  return result;
}

AtlasAxis axisOf(const char* name, const std::vector<double>& values, const ParameterRange& range) {
  if (values.empty()) refuse("atlas", std::string(name) + " is empty");
  for (std::size_t k = 0; k < values.size(); ++k) {
    checked("atlas", (std::string(name) + "[" + std::to_string(k) + "]").c_str(), values[k], range);
  }
  AtlasAxis axis;
  axis.from = values.front();
  axis.to = values.back();
  axis.count = static_cast<std::int64_t>(values.size());
  return axis;
}

// The evenly spaced values of `--b FROM:TO:COUNT`, bit for bit.
py::array_t<double> atlasAxisValues(double from, double to, std::int64_t count) {
  atMost("atlas_axis", "count", atLeast("atlas_axis", "count", count, 1), maxAxisValues);
  if (!std::isfinite(from) || !std::isfinite(to)) refuse("atlas_axis", "from and to must be numbers");
  if (count == 1 && from != to) refuse("atlas_axis", "count 1 needs from equal to to");
  if (count > 1 && !(from < to)) refuse("atlas_axis", "from is not below to");
  const AtlasAxis axis{from, to, count};
  py::array_t<double> values(static_cast<py::ssize_t>(count));
  for (std::int64_t k = 0; k < count; ++k) values.mutable_at(static_cast<py::ssize_t>(k)) = axis.value(k);
  return values;
}

bool evenlySpaced(const AtlasAxis& axis, const std::vector<double>& values) {
  for (std::size_t k = 0; k < values.size(); ++k) {
    if (values[k] != axis.value(static_cast<std::int64_t>(k))) return false;
  }
  return true;
}

// The five arrays of an atlas result, shape (len(rr), len(b)): cell i is
// (b i / count(rr), rr i % count(rr)), so rows of R8/R values, the layout
// pcolormesh(b, rr, C) wants. Cells not set stay NaN (counts -1).
class AtlasArrays {
 public:
  AtlasArrays(std::vector<double> bValues, std::vector<double> rrValues)
      : b_(std::move(bValues)),
        rr_(std::move(rrValues)),
        nb_(static_cast<py::ssize_t>(b_.size())),
        nr_(static_cast<py::ssize_t>(rr_.size())),
        lyapunovMax_({nr_, nb_}),
        lyapunovMedian_({nr_, nb_}),
        chaoticFraction_({nr_, nb_}),
        chaoticOrbits_({nr_, nb_}),
        stoppedOrbits_({nr_, nb_}) {
    const double missing = std::numeric_limits<double>::quiet_NaN();
    for (py::ssize_t k = 0; k < nb_ * nr_; ++k) {
      lyapunovMax_.mutable_data()[k] = lyapunovMedian_.mutable_data()[k] =
          chaoticFraction_.mutable_data()[k] = missing;
      chaoticOrbits_.mutable_data()[k] = stoppedOrbits_.mutable_data()[k] = -1;
    }
  }

  void set(std::int64_t cell, const AtlasCell& c) {
    const py::ssize_t column = static_cast<py::ssize_t>(cell) / nr_;
    const py::ssize_t row = static_cast<py::ssize_t>(cell) % nr_;
    lyapunovMax_.mutable_at(row, column) = c.lyapunovMax;
    lyapunovMedian_.mutable_at(row, column) = c.lyapunovMedian;
    chaoticFraction_.mutable_at(row, column) = c.chaoticFraction;
    chaoticOrbits_.mutable_at(row, column) = c.chaoticOrbits;
    stoppedOrbits_.mutable_at(row, column) = c.stoppedOrbits;
  }

  // The keys atlas() and read_atlas() share.
  py::dict result(const AtlasParameters& parameters, const AtlasShard& shard) const {
    py::dict result;
    result["b"] = py::array_t<double>(nb_, b_.data());
    result["rr"] = py::array_t<double>(nr_, rr_.data());
    result["lyapunov_max"] = lyapunovMax_;
    result["lyapunov_median"] = lyapunovMedian_;
    result["chaotic_orbits"] = chaoticOrbits_;
    result["chaotic_fraction"] = chaoticFraction_;
    result["stopped_orbits"] = stoppedOrbits_;
    result["threshold"] = chaosThreshold(parameters);
    result["shard"] = py::make_tuple(shard.index, shard.count);
    return result;
  }

 private:
  std::vector<double> b_, rr_;
  py::ssize_t nb_, nr_;
  py::array_t<double> lyapunovMax_, lyapunovMedian_, chaoticFraction_;
  py::array_t<std::int64_t> chaoticOrbits_, stoppedOrbits_;
};

py::dict atlas(const std::vector<double>& bValues, const std::vector<double>& rrValues, std::int64_t orbits,
               std::int64_t bounces, std::int64_t seed, std::int64_t boxes, double thresholdFactor,
               std::optional<std::int64_t> threads,
               std::optional<std::pair<std::int64_t, std::int64_t>> shard,
               std::optional<std::vector<std::string>> command) {
  AtlasGrid grid;
  grid.b = axisOf("b_values", bValues, shapeBRange);
  grid.rr = axisOf("rr_values", rrValues, shapeRrRange);
  grid.bValues = bValues;
  grid.rrValues = rrValues;
  AtlasParameters parameters;
  parameters.orbits = atMost("atlas", "orbits", atLeast("atlas", "orbits", orbits, 1), maxAtlasOrbits);
  parameters.bounces = atLeast("atlas", "bounces", bounces, 1);
  parameters.seed = seedOf("atlas", seed);
  parameters.boxesPerSide =
      static_cast<int>(atMost("atlas", "boxes", atLeast("atlas", "boxes", boxes, 1), maxBoxesPerSide));
  if (!(thresholdFactor > 0) || !std::isfinite(thresholdFactor)) {
    refuse("atlas", "threshold_factor " + numberText(thresholdFactor) + " is not above 0");
  }
  parameters.thresholdFactor = thresholdFactor;
  const int workers = threadCount("atlas", threads);
  AtlasShard part;
  if (shard) {
    part.index = shard->first;
    part.count = shard->second;
    if (part.count < 1 || part.index < 0 || part.index >= part.count) {
      refuse("atlas", "shard (" + std::to_string(part.index) + ", " + std::to_string(part.count) +
                          ") is not (i, S) with 0 <= i < S");
    }
  }
  // The shard's results and CSV text, and five arrays of every cell.
  const std::int64_t shardCellCount = (grid.cellCount() - part.index + part.count - 1) / part.count;
  withinMemory("atlas", "this atlas of " + std::to_string(grid.cellCount()) + " cells",
               atlasMemoryNeed(shardCellCount, parameters, workers) +
                   static_cast<double>(shardCellCount) * (maxAtlasRowBytes + 8) +
                   5.0 * 8 * static_cast<double>(grid.cellCount()));

  const std::vector<std::int64_t> cells = shardCells(grid, part.index, part.count);
  std::vector<AtlasCell> results;
  {
    py::gil_scoped_release release;
    AtlasInterrupt interrupt;
    results = computeAtlas(grid, cells, parameters, workers, &interrupt);
  }
  // Cells of other shards stay NaN (counts -1).
  AtlasArrays arrays(bValues, rrValues);
  py::array_t<std::int64_t> computed(static_cast<py::ssize_t>(cells.size()));
  std::string csv = std::string(atlasHeader) + "\n";
  for (std::size_t i = 0; i < results.size(); ++i) {
    arrays.set(cells[i], results[i]);
    computed.mutable_at(static_cast<py::ssize_t>(i)) = cells[i];
    csv += atlasRow(cells[i], results[i]);
  }
  py::dict result = arrays.result(parameters, part);
  result["cells"] = computed;
  result["csv"] = py::bytes(csv);
  // The sidecar names the grid as FROM:TO:COUNT: only an evenly spaced one has it.
  if (evenlySpaced(grid.b, bValues) && evenlySpaced(grid.rr, rrValues)) {
    AtlasGrid ranges;
    ranges.b = grid.b;
    ranges.rr = grid.rr;
    const std::vector<std::string> words = command ? *command : std::vector<std::string>{"trapezola.atlas"};
    std::vector<const char*> argv;
    for (const std::string& word : words) argv.push_back(word.c_str());
    result["sidecar"] = py::bytes(atlasSidecar(std::span<const char* const>(argv.data(), argv.size()),
                                               atlasRunText(ranges, parameters), grid.cellCount(), part,
                                               static_cast<std::int64_t>(csv.size()), sha256Hex(csv)));
  } else {
    result["sidecar"] = py::none();
  }
  return result;
}

// An atlas's CSV and sidecar bytes (atlas()'s "csv" and "sidecar") written as
// trapezola-cli atlas writes its pair: whole, through the one writer of files,
// the CSV last. A failure raises OSError naming the file and the reason.
void writeAtlas(const std::string& path, const py::bytes& csv, const py::bytes& sidecar) {
  if (path.size() <= 4 || path.compare(path.size() - 4, 4, ".csv") != 0) {
    refuse("write_atlas", trapezola::quoted(path) + " does not end in .csv");
  }
  const std::string csvBytes = csv;
  const std::string sidecarBytes = sidecar;
  try {
    py::gil_scoped_release release;
    WholeFileWriter csvFile(path);
    WholeFileWriter jsonFile(sidecarPath(path));
    csvFile.write(csvBytes);
    jsonFile.write(sidecarBytes);
    commitTogether({&jsonFile, &csvFile});
  } catch (const FileWriteError& e) {
    const std::string message = std::string("trapezola.write_atlas: ") + e.what();
    PyErr_SetString(PyExc_OSError, message.c_str());
    throw py::error_already_set();
  }
}

py::dict readAtlas(const std::string& path) {
  if (path.size() <= 4 || path.compare(path.size() - 4, 4, ".csv") != 0) {
    refuse("read_atlas", trapezola::quoted(path) + " does not end in .csv");
  }
  AtlasPair pair;
  try {
    pair = readAtlasPair(path);
  } catch (const AtlasFileError& e) {
    refuse("read_atlas", e.what());
  }
  const AtlasGrid& grid = pair.sidecar.grid;
  std::vector<double> bValues, rrValues;
  for (std::int64_t i = 0; i < grid.b.count; ++i) bValues.push_back(grid.b.value(i));
  for (std::int64_t j = 0; j < grid.rr.count; ++j) rrValues.push_back(grid.rr.value(j));
  AtlasArrays arrays(std::move(bValues), std::move(rrValues));
  for (const auto& [cell, atlasRow] : pair.rows) arrays.set(cell, atlasRow.values);
  return arrays.result(pair.sidecar.parameters, pair.sidecar.shard);
}

py::array_t<double> spreadStartArray(const Table& table, std::int64_t count, std::int64_t seed) {
  atMost("spread_starts", "count", atLeast("spread_starts", "count", count, 1), maxPortraitOrbits);
  const std::vector<OrbitStart> starts = spreadStarts(table.geometry, count, seedOf("spread_starts", seed));
  py::array_t<double> result({static_cast<py::ssize_t>(count), py::ssize_t{2}});
  for (py::ssize_t i = 0; i < static_cast<py::ssize_t>(count); ++i) {
    result.mutable_at(i, 0) = starts[static_cast<std::size_t>(i)].distance;
    result.mutable_at(i, 1) = starts[static_cast<std::size_t>(i)].angleDegrees;
  }
  return result;
}

// The portrait's pixel edges in (s, phi), from the plot step's mapping
// x = (s - sMin) scaleS + 6, y = 678 - (phi - phiMin) scalePhi.
py::tuple portraitExtent(const Table& table) {
  const PhaseWindowRecord w = freshRunWindow(table.geometry);
  return py::make_tuple(w.sMin - 6 / w.scaleS, w.sMin + (portraitWidth - 6) / w.scaleS,
                        w.phiMin - (portraitHeight - 678) / w.scalePhi, w.phiMin + 678 / w.scalePhi);
}

py::tuple point(const TablePoint& p) {
  return py::make_tuple(p.x, p.y);
}

}  // namespace

}  // namespace trapezola::python

PYBIND11_MODULE(_trapezola, m) {
  using namespace trapezola;
  using namespace trapezola::python;
  namespace py = pybind11;
  using namespace pybind11::literals;

  // Each docstring opens with its own signature line, in Python's words.
  py::options options;
  options.disable_function_signatures();
  m.doc() = R"(The Trapezola billiard engine: circular-trapezoid billiards from Python.

Results are NumPy arrays, computed by the engine trapezola-cli uses: the same
bits as its rows, the same pixels as its portraits.

Conventions:
  s      perimeter coordinate: arc length from corner 1 (the top right corner),
         counter-clockwise, 0 <= s < s4 (the perimeter's length; corner 1 is 0)
  phi    radians from the counter-clockwise tangent to the outgoing direction,
         0 < phi < pi
  angle_deg  a start angle in degrees against the counter-clockwise tangent,
         0 < angle_deg < 180
  x, y   table coordinates, x to the right, y up, bottom corners at x = -1, 1
Bad arguments raise ValueError with the command-line tool's words; a request
whose arrays would need more memory than the process may use, and threads or
memory the system would not give, raise MemoryError with the tool's words.
Long calls release the GIL; Ctrl+C interrupts them.)";
  m.attr("__version__") = TRAPEZOLA_VERSION;

  // Resources the system would not give, in the tool's words.
  py::register_exception_translator([](std::exception_ptr p) {
    try {
      if (p) std::rethrow_exception(p);
    } catch (const ThreadStartError& e) {
      const std::string message = std::string("trapezola: ") + e.what() + ": ask for fewer with threads=";
      PyErr_SetString(PyExc_MemoryError, message.c_str());
    } catch (const std::bad_alloc&) {
      PyErr_SetString(PyExc_MemoryError,
                      "trapezola: the memory ran out: the system would give no more (ask for less: fewer "
                      "rows, orbits, cells or threads)");
    }
  });
  PYBIND11_NUMPY_DTYPE(OrbitRow, bounce, s, phi, arc, x, y, hitDistance);
  m.attr("PORTRAIT_SHAPE") = py::make_tuple(portraitHeight, portraitWidth, 3);

  py::class_<Table>(m, "Table", R"(Table(b, rr)

The table with shape parameters b (half the short side, 0.0001 <= b <= 1) and
rr = R8/R (side radius over bottom radius, 1 <= rr <= 10000): four circular
arcs numbered counter-clockwise from corner 1 (top right): 1 top, 2 left,
3 bottom, 4 right. Read-only; its attributes are those of
`trapezola-cli table` (angles in radians, points as (x, y) tuples).)")
      .def(py::init(&makeTable), "b"_a, "rr"_a)
      .def_property_readonly("b", [](const Table& t) { return t.geometry.b; })
      .def_property_readonly(
          "rr", [](const Table& t) { return t.geometry.rr; }, "R8/R")
      .def_property_readonly("height", [](const Table& t) { return t.geometry.height; })
      .def_property_readonly(
          "theta", [](const Table& t) { return t.geometry.theta; },
          "angle between a leg and the bottom side, radians")
      .def_property_readonly(
          "corner1", [](const Table& t) { return point(t.geometry.corner1); }, "top right")
      .def_property_readonly(
          "corner2", [](const Table& t) { return point(t.geometry.corner2); }, "top left")
      .def_property_readonly(
          "corner3", [](const Table& t) { return point(t.geometry.corner3); }, "bottom left")
      .def_property_readonly(
          "corner4", [](const Table& t) { return point(t.geometry.corner4); }, "bottom right")
      .def_property_readonly("legMidSlope", [](const Table& t) { return t.geometry.legMidSlope; })
      .def_property_readonly(
          "centre1", [](const Table& t) { return point(t.geometry.centre1); }, "of arc 1")
      .def_property_readonly(
          "centre2", [](const Table& t) { return point(t.geometry.centre2); }, "of arc 2")
      .def_property_readonly(
          "centre3", [](const Table& t) { return point(t.geometry.centre3); }, "of arc 3")
      .def_property_readonly(
          "centre4", [](const Table& t) { return point(t.geometry.centre4); }, "of arc 4")
      .def_property_readonly(
          "radiusTop", [](const Table& t) { return t.geometry.radiusTop; }, "arc 1 (r)")
      .def_property_readonly(
          "radiusSide", [](const Table& t) { return t.geometry.radiusSide; }, "arcs 2, 4 (R8)")
      .def_property_readonly(
          "radiusBottom", [](const Table& t) { return t.geometry.radiusBottom; },
          "arc 3 (R; rr is radiusSide / radiusBottom, and R >= 1, the bottom side being 2 long)")
      .def_property_readonly(
          "delta", [](const Table& t) { return t.geometry.delta; }, "half opening of arc 1")
      .def_property_readonly("halfAngleSide", [](const Table& t) { return t.geometry.halfAngleSide; })
      .def_property_readonly("halfAngleBottom", [](const Table& t) { return t.geometry.halfAngleBottom; })
      .def_property_readonly("sideTilt", [](const Table& t) { return t.geometry.sideTilt; })
      .def_property_readonly(
          "s1", [](const Table& t) { return t.geometry.s1; }, "s of corner 2")
      .def_property_readonly(
          "s2", [](const Table& t) { return t.geometry.s2; }, "s of corner 3")
      .def_property_readonly(
          "s3", [](const Table& t) { return t.geometry.s3; }, "s of corner 4")
      .def_property_readonly(
          "s4", [](const Table& t) { return t.geometry.s4; }, "the perimeter's length")
      .def("__repr__", [](const Table& t) {
        return "trapezola.Table(b=" + numberText(t.geometry.b) + ", rr=" + numberText(t.geometry.rr) + ")";
      });

  m.def("orbit", &orbit, "table"_a, "distance"_a, "angle_deg"_a, "bounces"_a, "every"_a = 1,
        R"(orbit(table, distance, angle_deg, bounces, every=1) -> numpy structured array

Runs the orbit that starts at perimeter coordinate `distance` (taken round the
perimeter: modulo s4) at `angle_deg` degrees against the counter-clockwise
tangent, as a fresh "go" run does, for `bounces` bounces (>= 0). One row for
the start (bounce 0), every `every`-th bounce (>= 1) and the last, the same
bits as `trapezola-cli orbit`. Fields:
  bounce       the bounce's number, 0 for the start (int64)
  s            perimeter coordinate of the bounce point (see the module)
  phi          radians from the counter-clockwise tangent, 0 < phi < pi (for
               the start, angle_deg in radians)
  arc          1 top, 2 left, 3 bottom, 4 right (int32; 1 for the start)
  x, y         the bounce point in table coordinates
  hitDistance  length of the free path that ended at the bounce (0 for the start)
Raises RuntimeError when the orbit leaves the table (a bounce finds no arc).)");

  m.def("portrait", &portrait, "table"_a, "starts"_a = py::none(), "orbits"_a = py::none(),
        "bounces"_a = 20000, "seed"_a = 0, "threads"_a = py::none(), "grid"_a = false,
        R"(portrait(table, starts=None, orbits=None, bounces=20000, seed=0, threads=None, grid=False)
-> numpy uint8 array of shape (681, 794, 3), RGB

The many-orbit phase portrait of `trapezola-cli portrait`, pixel for pixel:
s across (the whole perimeter, left to right), phi from 0 (bottom) to pi (top),
bounces 1..`bounces` of each orbit as small dots, orbit i in colour i mod 21 of
Kelly's palette, the highest-numbered orbit on top. Give either `starts`, a
list of (distance, angle_deg) pairs, or `orbits`, a count of starts spread over
the phase space by the R2 sequence from index `seed`. `threads` (default every
core) does not change the picture; `grid` adds the window's frame, grid lines
and corner curves.)");

  m.def("analyse", &analyse, "table"_a, "distance"_a, "angle_deg"_a, "period"_a = 0, "sensitivity"_a = -50,
        "blocksize"_a = 500, "blocks"_a = 100, "shadow_tolerance"_a = defaultShadowTolerance,
        R"(analyse(table, distance, angle_deg, period=0, sensitivity=-50, blocksize=500, blocks=100,
        shadow_tolerance=1e-9) -> dict

The analysis of `trapezola-cli analyse` (the window's right click) of the phase
point (distance, angle_deg), with the same keys: period (searched when 0),
periodFound, returnCounts (tuple or None), trace, traceBound, class
("hiperbolic", "parabolic", "elliptic" or None), m11, m22, label, series (NumPy
array: ln |trace| of the product so far, one value a block of `blocksize`
bounces, NaN where the tool prints null), fit (dict a, b per block, gradient
per bounce: the Lyapunov exponent, stderr; or None), followedBounces and
trustedBounces (the precision horizon at `shadow_tolerance`).)");

  m.def("lyapunov", &lyapunov, "table"_a, "starts"_a, "bounces"_a, "boxes"_a = 100,
        R"(lyapunov(table, starts, bounces, boxes=100) -> dict

The finite-time largest Lyapunov exponent of each start's orbit, natural log
per bounce (ln of the Frobenius norm of the product of `bounces` bounce
matrices, divided by the bounces), as the atlas computes it. `starts` is a list
of (distance, angle_deg) pairs. Keys: exponent, bounces (done), stopped (bool:
the orbit stopped early), all arrays with one entry per start; boxes, a
(boxes, boxes) uint8 array, 1 where any of the orbits visited the box
(row: (1 - cos phi) / 2, column: s / s4, both in [0, 1]).)");

  m.def("replay_history", &replayHistoryText, "text"_a, "threads"_a = py::none(),
        R"(replay_history(text, threads=None) -> numpy.ndarray

The portrait that a history describes (the "history" text a portrait saved by
the window or written by `trapezola-cli render` carries; trapezola.replay reads
it from the file), drawn again from the history alone: an array of shape
(681, 794, 3), RGB bytes, pixel for pixel the saved picture. Many-orbit fills
run on `threads` threads (default: every core); the picture does not depend on
it. Raises ValueError naming the step and field of a history that does not
read, or why it cannot be replayed.)");

  m.def("portrait_extent", &portraitExtent, "table"_a,
        R"(portrait_extent(table) -> (left, right, bottom, top)

Where the edges of portrait(table, ...)'s pixels lie in s (across) and phi
(up), for matplotlib's imshow(picture, extent=...): the dots then sit at their
(s, phi) on the axes.)");

  m.def("spread_starts", &spreadStartArray, "table"_a, "count"_a, "seed"_a = 0,
        R"(spread_starts(table, count, seed=0) -> numpy array of shape (count, 2)

The starts (distance, angle_deg) that portrait(orbits=count, seed=seed) and the
atlas use: the R2 low-discrepancy sequence from index `seed`, uniform in
(s / s4, (1 - cos phi) / 2), the billiard's invariant measure.)");

  m.def("periodic_orbit", &periodicOrbit, "table"_a, "period"_a, "near"_a,
        R"(periodic_orbit(table, period, near) -> dict

The periodic orbit of `trapezola-cli periodic --period N --near S,DEG`: damped
Newton on the period-fold bounce map from near = (distance, angle_deg), with
the tool's keys and bits: converged, period, rotation ("m/n"), points (array of
shape (period, 2), columns s and phi, the first the orbit's point nearest the
guess), length, trace (of the Jacobian of the n-fold map in (s, phi)), class,
m11, m22, residual. Where Newton did not converge, converged is False and every
key but period and residual is None. 2 <= period <= 10000.)");

  m.def("birkhoff_orbits", &birkhoffOrbitTable, "table"_a, "max_period"_a,
        R"(birkhoff_orbits(table, max_period) -> dict

The Birkhoff catalogue of `trapezola-cli periodic --catalogue --max-period N`
(2 <= max_period <= 40): the maximal-length (kind "max") and minimax orbits of
every coprime m/n with n <= max_period and m <= n/2, each once, in the CSV's
order. Keys are the CSV's columns, each an array with one entry per orbit: m,
n, kind, s, phi (the orbit's point of smallest s), length, trace, class ("" for
none), residual.)");

  m.def("continue_orbit", &continueOrbitTable, "period"_a, "near"_a, "b"_a, "rr"_a,
        R"(continue_orbit(period, near, b, rr) -> dict

The continuation of `trapezola-cli continue`: one of b and rr is a range
(from, to, count), as --b FROM:TO:COUNT, the other a value; the orbit of the
given period is found at `from` from near = (distance, angle_deg) and followed
along the range. Keys as the tool's: steps (a dict of arrays parameter, s, phi,
length, trace, class, one entry per value reached), bifurcations (a list of
dicts parameter, trace, kind), stopped (None, or why the orbit was lost).)");

  m.def("write_atlas", &writeAtlas, "path"_a, "csv"_a, "sidecar"_a,
        R"(write_atlas(path, csv, sidecar)

Writes an atlas's CSV and sidecar bytes (atlas()'s "csv" and "sidecar", for a
shard too) to path (ending in .csv) and path's .json, as `trapezola-cli atlas`
writes them: each whole or not at all (a temporary file of its own beside it,
renamed in place), the pair together, the CSV last. Raises OSError naming the
file and the system's reason when a write fails; the old files then stay.)");

  m.def("read_atlas", &readAtlas, "path"_a,
        R"(read_atlas(path) -> dict

An atlas file written by `trapezola-cli atlas` or `atlas-merge` (path ends in
.csv; its sidecar .json beside it), checked as atlas-merge checks a shard:
every field of every row, and the pair (the sidecar must name the CSV's bytes
by their SHA-256). The keys of atlas(), the cells of a shard's file filled in
and the others NaN (-1 in the count arrays), and shard, (index, count).
Raises ValueError with one line naming the file and the fault.)");

  m.def("atlas", &atlas, "b_values"_a, "rr_values"_a, "orbits"_a = 16, "bounces"_a = 100000, "seed"_a = 0,
        "boxes"_a = 100, "threshold_factor"_a = 10.0, "threads"_a = py::none(), "shard"_a = py::none(),
        "command"_a = py::none(),
        R"(atlas(b_values, rr_values, orbits=16, bounces=100000, seed=0, boxes=100, threshold_factor=10,
      threads=None, shard=None, command=None) -> dict

The chaos atlas of `trapezola-cli atlas` over every (b, rr) of the two value
lists: per table, `orbits` orbits from the R2 starts at `seed`, `bounces`
bounces each. Keys: b, rr (the values), threshold, and per table the CSV's
columns lyapunov_max, lyapunov_median, chaotic_orbits, chaotic_fraction,
stopped_orbits as arrays of shape (len(rr_values), len(b_values)), ready for
matplotlib.pyplot.pcolormesh(result["b"], result["rr"], result[column]).
Cell values do not depend on `threads`.

shard=(i, S) computes only the cells whose index is i modulo S, as
`trapezola-cli atlas --shard i/S` does (cell k is b_values[k // len(rr_values)],
rr_values[k % len(rr_values)]); the other cells are NaN (counts -1). Keys for
the files of that run: cells (the indices computed), shard (i, S), csv (the
bytes `trapezola-cli atlas` writes for these cells) and sidecar (the bytes of
its FILE.json, `command` the words it records, default ["trapezola.atlas"]; None
unless both value lists are evenly spaced as atlas_axis gives them).
`trapezola-cli atlas-merge` joins such shards into the file of a single run.)");

  m.def("atlas_axis", &atlasAxisValues, "from_"_a, "to"_a, "count"_a,
        R"(atlas_axis(from_, to, count) -> numpy array

The `count` evenly spaced values from `from_` to `to`, both included, bit for
bit those of `trapezola-cli atlas --b FROM:TO:COUNT`.)");
}
