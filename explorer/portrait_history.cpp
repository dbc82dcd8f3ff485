#include "explorer/portrait_history.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string_view>
#include <utility>

#include "core/geometry/table_geometry.h"
#include "explorer/portrait_record.h"

namespace trapezola {

namespace {

constexpr const char* header = "trapezola-history 1";
constexpr const char* unreplayableMark = "unreplayable";

// The most bounces one run of the window can make: 1001 passes of the repeat
// field's largest value plus one.
constexpr std::int64_t maximumRunBounces = 1001 * (static_cast<std::int64_t>(2147483647) + 1);
constexpr std::int64_t maximumOrbitCount = 100000;
constexpr std::int64_t maximumOrbitBounces = 2000000000;

// The most points a marks step circles: the longest period the solver takes.
constexpr std::size_t maximumMarks = 100000;

constexpr std::array<std::pair<HistoryStepKind, const char*>, 10> stepNames{{
    {HistoryStepKind::go, "go"},
    {HistoryStepKind::resume, "resume"},
    {HistoryStepKind::doubleClick, "double-click"},
    {HistoryStepKind::zoomReplay, "zoom-replay"},
    {HistoryStepKind::orbits, "orbits"},
    {HistoryStepKind::grid, "grid"},
    {HistoryStepKind::ungrid, "ungrid"},
    {HistoryStepKind::clear, "clear"},
    {HistoryStepKind::wipe, "wipe"},
    {HistoryStepKind::marks, "marks"},
}};

// Steps that draw with the table and window they carry.
bool hasTable(HistoryStepKind k) {
  return isOrbitRun(k) || k == HistoryStepKind::orbits || k == HistoryStepKind::grid;
}

class StepReader {
 public:
  StepReader(const std::map<std::string, std::string>& fields, std::string& fault)
      : fields_(fields), fault_(fault) {}

  bool real(const char* key, double& out) {
    const std::string* text = find(key);
    if (text == nullptr) return false;
    char* end = nullptr;
    errno = 0;
    const double v = std::strtod(text->c_str(), &end);
    if (text->empty() || end != text->c_str() + text->size() || errno == ERANGE || !std::isfinite(v)) {
      return fail(std::string(key) + "=" + *text + " is not a finite number");
    }
    out = v;
    return true;
  }

  bool whole(const char* key, std::int64_t low, std::int64_t high, std::int64_t& out) {
    const std::string* text = find(key);
    return text != nullptr && wholeText(key, *text, low, high, out);
  }

  bool wholeText(const std::string& key, const std::string& text, std::int64_t low, std::int64_t high,
                 std::int64_t& out) {
    char* end = nullptr;
    errno = 0;
    const long long v = std::strtoll(text.c_str(), &end, 10);
    if (text.empty() || end != text.c_str() + text.size() || errno == ERANGE || v < low || v > high) {
      return fail(key + "=" + text + " is not a whole number from " + std::to_string(low) + " to " +
                  std::to_string(high));
    }
    out = v;
    return true;
  }

  const std::string* find(const char* key) {
    const auto found = fields_.find(key);
    if (found == fields_.end()) {
      fail(std::string("no ") + key + "=");
      return nullptr;
    }
    return &found->second;
  }

  bool fail(const std::string& what) {
    fault_ = what;
    return false;
  }

 private:
  const std::map<std::string, std::string>& fields_;
  std::string& fault_;
};

bool readWindow(StepReader& in, PhaseWindowRecord& w) {
  if (!in.real("sMin", w.sMin) || !in.real("sMax", w.sMax) || !in.real("phiMin", w.phiMin) ||
      !in.real("phiMax", w.phiMax) || !in.real("scaleS", w.scaleS) || !in.real("scalePhi", w.scalePhi)) {
    return false;
  }
  return true;
}

bool readStep(const std::string& line, HistoryStep& step, std::string& fault) {
  std::istringstream words(line);
  std::string name;
  words >> name;
  bool known = false;
  for (const auto& [kind, text] : stepNames) {
    if (name == text) {
      step.kind = kind;
      known = true;
    }
  }
  if (!known) {
    fault = "'" + name + "' is no step";
    return false;
  }
  std::map<std::string, std::string> fields;
  for (std::string word; words >> word;) {
    const auto eq = word.find('=');
    if (eq == std::string::npos || eq == 0) {
      fault = "'" + word + "' is not key=value";
      return false;
    }
    if (!fields.emplace(word.substr(0, eq), word.substr(eq + 1)).second) {
      fault = word.substr(0, eq) + "= is given twice";
      return false;
    }
  }
  StepReader in(fields, fault);
  const HistoryStepKind k = step.kind;
  if (k == HistoryStepKind::marks) {
    std::int64_t colour = 0;
    if (!readWindow(in, step.window) || !in.whole("colour", 0, 0xFFFFFF, colour)) return false;
    step.colour = static_cast<toolkit::TColor>(colour);
    const std::string* points = in.find("points");
    if (points == nullptr) return false;
    std::istringstream list(*points);
    for (std::string point; std::getline(list, point, ',');) {
      const auto colon = point.find(':');
      std::map<std::string, std::string> pair{
          {"s", point.substr(0, colon)}, {"phi", colon == std::string::npos ? "" : point.substr(colon + 1)}};
      StepReader number(pair, fault);
      PhasePoint p;
      if (!number.real("s", p.s) || !number.real("phi", p.phi)) return false;
      if (step.points.size() == maximumMarks) return in.fail("points= has more than 100000 points");
      step.points.push_back(p);
    }
    return true;
  }
  if (!hasTable(k)) return true;
  if (!in.real("b", step.b) || !in.real("rr", step.rr) || !in.real("sideTilt", step.sideTilt) ||
      !readWindow(in, step.window)) {
    return false;
  }
  if (!tableParametersValid(step.b, step.rr)) {
    return in.fail("b=" + exactNumber(step.b) + " rr=" + exactNumber(step.rr) +
                   " is not a table (0.0001 <= b <= 1, 1 <= rr <= 10000)");
  }
  if (k == HistoryStepKind::grid) return in.real("phi", step.phi);
  std::int64_t orbit = 0;
  if (!in.whole("orbit", 0, INT64_MAX / 2, orbit)) return false;
  step.orbit = orbit;
  if (k == HistoryStepKind::orbits) {
    if (!in.whole("count", 1, maximumOrbitCount, step.count) ||
        !in.whole("bounces", 1, maximumOrbitBounces, step.bounces)) {
      return false;
    }
    const auto reached = fields.find("reached");
    if (reached != fields.end()) {
      std::istringstream counts(reached->second);
      for (std::string count; std::getline(counts, count, ',');) {
        std::int64_t n = 0;
        if (!in.wholeText("reached", count, 0, step.bounces, n)) return false;
        step.reached.push_back(n);
      }
      if (static_cast<std::int64_t>(step.reached.size()) != step.count) {
        return in.fail("reached= has " + std::to_string(step.reached.size()) + " counts for " +
                       std::to_string(step.count) + " orbits");
      }
    }
    return true;
  }
  std::int64_t colour = 0, dotSize = 0;
  if (!in.real("s", step.s) || !in.real("phi", step.phi) || !in.real("x", step.x) || !in.real("y", step.y) ||
      !in.real("dx", step.dx) || !in.real("dy", step.dy) ||
      !in.whole("first", 1, maximumRunBounces + 1, step.firstBounce) ||
      !in.whole("last", 0, INT64_MAX / 2, step.lastBounce) || !in.whole("colour", 0, 0xFFFFFF, colour) ||
      !in.whole("size", 1, 64, dotSize)) {
    return false;
  }
  if (step.lastBounce - step.firstBounce + 1 > maximumRunBounces) {
    return in.fail("first=" + std::to_string(step.firstBounce) + " last=" + std::to_string(step.lastBounce) +
                   " is more bounces than one run makes");
  }
  step.colour = static_cast<toolkit::TColor>(colour);
  step.dotSize = static_cast<int>(dotSize);
  return true;
}

}  // namespace

namespace {

void setTable(HistoryStep& step, const BilliardTable& table, const PhaseWindowRecord& window) {
  step.b = table.b;
  step.rr = table.rr;
  step.sideTilt = table.sideTilt;
  step.window = window;
}

std::int64_t nextOrbit(const PortraitHistory& history) {
  std::int64_t next = 0;
  for (const HistoryStep& step : history.steps) {
    if (isOrbitRun(step.kind)) next = std::max(next, step.orbit + 1);
    if (step.kind == HistoryStepKind::orbits) next = std::max(next, step.orbit + step.count);
  }
  return next;
}

}  // namespace

void recordRun(PortraitHistory& history, HistoryStepKind kind, const BilliardTable& table,
               const PhaseWindowRecord& window, const Ball& start, double s, double phi, std::int64_t bounces,
               toolkit::TColor colour, int dotSize) {
  HistoryStep step;
  step.kind = kind;
  setTable(step, table, window);
  step.orbit = nextOrbit(history);
  step.firstBounce = 1;
  if (kind == HistoryStepKind::resume) {
    for (auto it = history.steps.rbegin(); it != history.steps.rend(); ++it) {
      if (it->kind == HistoryStepKind::go || it->kind == HistoryStepKind::resume ||
          it->kind == HistoryStepKind::doubleClick) {
        step.orbit = it->orbit;
        step.firstBounce = it->lastBounce + 1;
        break;
      }
    }
  }
  step.s = s;
  step.phi = phi;
  step.x = start.x;
  step.y = start.y;
  step.dx = start.dx;
  step.dy = start.dy;
  step.lastBounce = step.firstBounce - 1 + std::max<std::int64_t>(bounces, 0);
  step.colour = colour;
  step.dotSize = dotSize;
  history.steps.push_back(std::move(step));
}

void recordGrid(PortraitHistory& history, const BilliardTable& table, const PhaseWindowRecord& window,
                double walkerPhi) {
  HistoryStep step;
  step.kind = HistoryStepKind::grid;
  setTable(step, table, window);
  step.phi = walkerPhi;
  history.steps.push_back(std::move(step));
}

void recordOrbits(PortraitHistory& history, const BilliardTable& table, const PhaseWindowRecord& window,
                  std::int64_t count, std::int64_t bounces, std::vector<std::int64_t> reached) {
  // The fill starts on a blank portrait: nothing before it shows.
  history = PortraitHistory{};
  HistoryStep step;
  step.kind = HistoryStepKind::orbits;
  setTable(step, table, window);
  step.count = count;
  step.bounces = bounces;
  if (std::any_of(reached.begin(), reached.end(), [&](std::int64_t n) { return n != bounces; })) {
    step.reached = std::move(reached);
  }
  history.steps.push_back(std::move(step));
}

void recordMarks(PortraitHistory& history, const PhaseWindowRecord& window, toolkit::TColor colour,
                 std::vector<PhasePoint> points) {
  HistoryStep step;
  step.kind = HistoryStepKind::marks;
  step.window = window;
  step.colour = colour;
  step.points = std::move(points);
  history.steps.push_back(std::move(step));
}

void recordPlain(PortraitHistory& history, HistoryStepKind kind) {
  if (kind == HistoryStepKind::wipe) {
    history = PortraitHistory{};
    return;
  }
  HistoryStep step;
  step.kind = kind;
  history.steps.push_back(std::move(step));
}

bool isOrbitRun(HistoryStepKind k) {
  return k == HistoryStepKind::go || k == HistoryStepKind::resume || k == HistoryStepKind::doubleClick ||
         k == HistoryStepKind::zoomReplay;
}

std::int64_t runBounces(const HistoryStep& step) {
  return step.lastBounce >= step.firstBounce ? step.lastBounce - step.firstBounce + 1 : 0;
}

std::string historyText(const PortraitHistory& history) {
  std::string text = header;
  if (!history.replayable) text += std::string(" ") + unreplayableMark;
  for (const HistoryStep& step : history.steps) {
    text += '\n';
    for (const auto& [kind, name] : stepNames) {
      if (kind == step.kind) text += name;
    }
    const auto field = [&](const char* key, const std::string& value) {
      text += ' ';
      text += key;
      text += '=';
      text += value;
    };
    const auto window = [&](const PhaseWindowRecord& w) {
      field("sMin", exactNumber(w.sMin));
      field("sMax", exactNumber(w.sMax));
      field("phiMin", exactNumber(w.phiMin));
      field("phiMax", exactNumber(w.phiMax));
      field("scaleS", exactNumber(w.scaleS));
      field("scalePhi", exactNumber(w.scalePhi));
    };
    if (step.kind == HistoryStepKind::marks) {
      window(step.window);
      field("colour", std::to_string(step.colour));
      std::string points;
      for (const PhasePoint& p : step.points)
        points += (points.empty() ? "" : ",") + exactNumber(p.s) + ":" + exactNumber(p.phi);
      field("points", points);
      continue;
    }
    if (!hasTable(step.kind)) continue;
    field("b", exactNumber(step.b));
    field("rr", exactNumber(step.rr));
    field("sideTilt", exactNumber(step.sideTilt));
    window(step.window);
    if (step.kind == HistoryStepKind::grid) {
      field("phi", exactNumber(step.phi));
      continue;
    }
    field("orbit", std::to_string(step.orbit));
    if (step.kind == HistoryStepKind::orbits) {
      field("count", std::to_string(step.count));
      field("bounces", std::to_string(step.bounces));
      if (!step.reached.empty()) {
        std::string counts;
        for (const std::int64_t n : step.reached) counts += (counts.empty() ? "" : ",") + std::to_string(n);
        field("reached", counts);
      }
      continue;
    }
    field("s", exactNumber(step.s));
    field("phi", exactNumber(step.phi));
    field("x", exactNumber(step.x));
    field("y", exactNumber(step.y));
    field("dx", exactNumber(step.dx));
    field("dy", exactNumber(step.dy));
    field("first", std::to_string(step.firstBounce));
    field("last", std::to_string(step.lastBounce));
    field("colour", std::to_string(step.colour));
    field("size", std::to_string(step.dotSize));
  }
  return text;
}

std::optional<PortraitHistory> historyFromText(const std::string& text, std::string& fault) {
  std::istringstream lines(text);
  std::string first;
  std::getline(lines, first);
  PortraitHistory history;
  if (first == std::string(header) + " " + unreplayableMark) {
    history.replayable = false;
  } else if (first != header) {
    fault = "the history does not begin with \"" + std::string(header) + "\"";
    return std::nullopt;
  }
  int number = 1;
  for (std::string line; std::getline(lines, line); ++number) {
    HistoryStep step;
    if (!readStep(line, step, fault)) {
      fault = "step " + std::to_string(number) + ": " + fault;
      return std::nullopt;
    }
    history.steps.push_back(std::move(step));
  }
  return history;
}

double historyBounces(const PortraitHistory& history) {
  double total = 0;
  for (const HistoryStep& step : history.steps) {
    if (isOrbitRun(step.kind)) total += static_cast<double>(runBounces(step));
    if (step.kind == HistoryStepKind::orbits) {
      total += static_cast<double>(step.count) * static_cast<double>(step.bounces);
    }
  }
  return total;
}

}  // namespace trapezola
