// A portrait's history: its text reads back to the same bits, forged texts are
// refused with the step and field named, and a replay draws what the runs drew.
#include "explorer/portrait_history.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "core/dynamics/bounce.h"
#include "core/dynamics/orbit_walk.h"
#include "core/geometry/boundary.h"
#include "core/geometry/table_geometry.h"
#include "explorer/history_replay.h"
#include "explorer/multi_orbit_portrait.h"
#include "explorer/periodic_marks.h"
#include "explorer/phase_portrait.h"

namespace trapezola {
namespace {

// A go run of `bounces` bounces from (distance, angle) on the table (b, rr), as
// the window records it.
HistoryStep goStep(double b, double rr, double distance, double angleDegrees, std::int64_t bounces) {
  const BilliardTable table = buildTable(b, rr);
  Ball ball;
  HistoryStep step;
  step.kind = HistoryStepKind::go;
  step.b = b;
  step.rr = rr;
  step.sideTilt = table.sideTilt;
  step.window = freshRunWindow(table);
  step.phi = startAngleRadians(angleDegrees);
  step.s = launch(table, ball, distance, std::cos(step.phi));
  step.x = ball.x;
  step.y = ball.y;
  step.dx = ball.dx;
  step.dy = ball.dy;
  step.lastBounce = bounces;
  return step;
}

HistoryStep step(HistoryStepKind kind) {
  HistoryStep s;
  s.kind = kind;
  return s;
}

PortraitHistory sampleHistory() {
  PortraitHistory h;
  HistoryStep go = goStep(0.5, 2, 0.7, 61, 3000);
  go.colour = 0x0000FF;
  h.steps.push_back(go);
  HistoryStep grid = go;
  grid.kind = HistoryStepKind::grid;
  grid.phi = 1.0 / 3;
  h.steps.push_back(grid);
  h.steps.push_back(step(HistoryStepKind::ungrid));
  HistoryStep zoom = goStep(0.5, 2, 1.25, 100, 500);
  zoom.kind = HistoryStepKind::zoomReplay;
  zoom.orbit = 1;
  zoom.window = PhaseWindowRecord{0.5, 2.0, 0.4, 2.9, 778 / 1.5, 666 / 2.5};
  zoom.dotSize = 3;
  h.steps.push_back(zoom);
  HistoryStep more = go;
  more.kind = HistoryStepKind::resume;
  more.firstBounce = 3001;
  more.lastBounce = 4000;
  h.steps.push_back(more);
  h.steps.push_back(step(HistoryStepKind::clear));
  HistoryStep orbits = go;
  orbits.kind = HistoryStepKind::orbits;
  orbits.orbit = 2;
  orbits.count = 5;
  orbits.bounces = 400;
  orbits.reached = {400, 400, 17, 0, 0};
  h.steps.push_back(orbits);
  h.steps.push_back(step(HistoryStepKind::wipe));
  HistoryStep marks = step(HistoryStepKind::marks);
  marks.window = go.window;
  marks.colour = 0x00FF00;
  marks.points = {{1.0 / 3, 2.0 / 3}, {4.1, 0.25}};
  h.steps.push_back(marks);
  return h;
}

TEST(PortraitHistory, TextReadsBackToTheSameBits) {
  for (const bool replayable : {true, false}) {
    PortraitHistory want = sampleHistory();
    want.replayable = replayable;
    std::string fault;
    const std::optional<PortraitHistory> got = historyFromText(historyText(want), fault);
    ASSERT_TRUE(got.has_value()) << fault;
    // Fields a step does not carry are not written; compare what each carries.
    ASSERT_EQ(got->steps.size(), want.steps.size());
    EXPECT_EQ(got->replayable, replayable);
    EXPECT_EQ(historyText(*got), historyText(want));
    EXPECT_EQ(got->steps[0], want.steps[0]);
    EXPECT_EQ(got->steps[3], want.steps[3]);
    EXPECT_EQ(got->steps[6].reached, want.steps[6].reached);
    EXPECT_EQ(got->steps[1].phi, 1.0 / 3);
    EXPECT_EQ(got->steps[8], want.steps[8]);
  }
  std::string fault;
  const std::optional<PortraitHistory> empty = historyFromText("trapezola-history 1", fault);
  ASSERT_TRUE(empty.has_value()) << fault;
  EXPECT_TRUE(empty->steps.empty());
}

TEST(PortraitHistory, ForgedTextsAreRefusedNamingStepAndField) {
  const std::string good = historyText(sampleHistory());
  const auto replaced = [&](const std::string& from, const std::string& to) {
    std::string text = good;
    const auto at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return text.replace(at, from.size(), to);
  };
  struct Case {
    std::string text;
    std::string fault;
  };
  const std::vector<Case> cases = {
      {"", "does not begin with"},
      {"trapezola-history 2\ngo", "does not begin with"},
      {"trapezola-history 1\nfly b=1", "step 1: 'fly' is no step"},
      {replaced("go b=0.5", "go b=1e308"), "step 1: b=1e+308 rr=2 is not a table"},
      {replaced("go b=0.5 rr=2", "go b=0.5 rr=0.5"), "is not a table"},
      {replaced("go b=0.5", "go b=nan"), "step 1: b=nan is not a finite number"},
      {replaced("go b=0.5", "go b=0.5 b=0.5"), "b= is given twice"},
      {replaced("go b=0.5", "go b"), "'b' is not key=value"},
      {replaced(" colour=255", " colour=16777216"),
       "colour=16777216 is not a whole number from 0 to 16777215"},
      {replaced(" size=2", " size=0"), "size=0 is not a whole number"},
      {replaced(" size=2", ""), "step 1: no size="},
      {replaced("last=3000", "last=9000000000000000"), "more bounces than one run makes"},
      {replaced("reached=400,400,17,0,0", "reached=400,17"), "reached= has 2 counts for 5 orbits"},
      {replaced("reached=400,400,17,0,0", "reached=400,401,17,0,0"), "reached=401 is not a whole number"},
      {replaced("count=5", "count=100001"), "count=100001 is not a whole number from 1 to 100000"},
      {replaced("points=0.33333333333333331:", "points=0.33333333333333331:x"), "step 9: phi=x"},
      {replaced("points=0.33333333333333331:", "points=0.33333333333333331,"), "step 9: phi= is not"},
  };
  for (const Case& c : cases) {
    std::string fault;
    EXPECT_FALSE(historyFromText(c.text, fault).has_value()) << c.text;
    EXPECT_NE(fault.find(c.fault), std::string::npos) << "fault: " << fault << "\nwanted: " << c.fault;
  }
}

bool samePixels(const toolkit::TCanvas& a, const toolkit::TCanvas& b) {
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x)
      if (a.pixel(x, y) != b.pixel(x, y)) return false;
  return true;
}

// A run split into a go and its continuations draws what one run draws; a
// stopped many-orbit fill what its orbits drew to where they stopped.
TEST(HistoryReplay, DrawsWhatTheRunsDrew) {
  const HistoryStep whole = goStep(0.5, 2, 0.7, 61, 9000);
  toolkit::TCanvas direct(portraitWidth, portraitHeight);
  {
    const BilliardTable table = buildTable(0.5, 2);
    Ball ball;
    launch(table, ball, 0.7, std::cos(startAngleRadians(61)));
    direct.Pen->Color = direct.Brush->Color = toolkit::clBlack;
    RunPosition at;
    ASSERT_EQ(runPlottedPasses(PlottedPasses{table, whole.window, 2, 9, 1000}, ball, direct, at),
              BounceStatus::ok);
  }
  PortraitHistory split;
  split.steps.push_back(goStep(0.5, 2, 0.7, 61, 2500));
  {
    // The ball after 2500 bounces, from the dots' own walk.
    const BilliardTable table = buildTable(0.5, 2);
    Ball ball;
    launch(table, ball, 0.7, std::cos(startAngleRadians(61)));
    for (int n = 0; n < 2500; ++n) bounce(table, ball);
    HistoryStep rest = whole;
    rest.kind = HistoryStepKind::resume;
    rest.x = ball.x;
    rest.y = ball.y;
    rest.dx = ball.dx;
    rest.dy = ball.dy;
    rest.firstBounce = 2501;
    split.steps.push_back(rest);
  }
  for (const PortraitHistory& h : {PortraitHistory{true, {whole}}, split}) {
    toolkit::TCanvas replayed(portraitWidth, portraitHeight);
    EXPECT_EQ(replayHistory(h, replayed), std::nullopt);
    EXPECT_TRUE(samePixels(replayed, direct));
  }

  // Orbit 0 and 1 ran to 300, orbit 2 stopped at 40, orbit 3 never began.
  HistoryStep fill = whole;
  fill.kind = HistoryStepKind::orbits;
  fill.count = 4;
  fill.bounces = 300;
  fill.reached = {300, 300, 40, 0};
  const BilliardTable table = buildTable(0.5, 2);
  const std::vector<OrbitStart> starts = spreadStarts(table, 4, 0);
  toolkit::TCanvas byHand(portraitWidth, portraitHeight);
  std::vector<OrbitStart> firstThree(starts.begin(), starts.begin() + 3);
  paintOrbits(byHand, drawOrbits(table, fill.window, std::span(firstThree).first(2), 300, 1, nullptr));
  // Orbit 2 alone paints over the first two where they meet: the highest orbit wins.
  OrbitPortrait third = drawOrbits(table, fill.window, std::span(firstThree).subspan(2), 40, 1, nullptr);
  for (auto& orbit : third.topOrbit)
    if (orbit >= 0) orbit = 2;
  paintOrbits(byHand, third);
  toolkit::TCanvas replayed(portraitWidth, portraitHeight);
  EXPECT_EQ(replayHistory(PortraitHistory{true, {fill}}, replayed, 2), std::nullopt);
  EXPECT_TRUE(samePixels(replayed, byHand));
}

TEST(HistoryReplay, RefusesWhatItCannotDraw) {
  toolkit::TCanvas canvas(portraitWidth, portraitHeight);
  EXPECT_EQ(replayHistory(PortraitHistory{false, {}}, canvas),
            "the portrait began as a picture loaded without a history");
  // A ball without a direction: no arc takes its ray.
  HistoryStep out = goStep(0.5, 2, 0.7, 61, 10);
  out.dx = 0;
  out.dy = 0;
  const std::optional<std::string> fault = replayHistory(PortraitHistory{true, {out}}, canvas);
  ASSERT_TRUE(fault.has_value());
  EXPECT_NE(fault->find("step 1: the orbit leaves the table"), std::string::npos) << *fault;
}

// The dots of a go and a many-orbit fill are the rows of the orbit walk for
// the same starts, bounce 0 included.
TEST(HistoryDots, AreTheOrbitRowsOfTheSameStarts) {
  HistoryStep go = goStep(0.5, 2, 0.7, 61, 50);
  HistoryStep fill = go;
  fill.kind = HistoryStepKind::orbits;
  fill.orbit = 1;
  fill.count = 2;
  fill.bounces = 30;
  fill.reached = {30, 7};
  std::vector<HistoryDot> dots;
  forEachHistoryDot(PortraitHistory{true, {go, fill}}, [&](const HistoryDot& d) { dots.push_back(d); });
  ASSERT_EQ(dots.size(), 51u + 31u + 8u);

  const BilliardTable table = buildTable(0.5, 2);
  const auto expectWalk = [&](std::size_t from, std::int64_t orbit, double distance, double angle,
                              std::int64_t bounces) {
    OrbitWalk walk(table, distance, angle, bounces, 1);
    std::vector<OrbitRow> rows{walk.startRow()};
    walk.advance(bounces, [&](const OrbitRow& r) {
      rows.push_back(r);
      return true;
    });
    for (std::size_t i = 0; i < rows.size(); ++i) {
      const HistoryDot& d = dots[from + i];
      EXPECT_EQ(d.orbit, orbit);
      EXPECT_EQ(d.bounce, rows[i].bounce);
      EXPECT_EQ(d.s, rows[i].s) << "orbit " << orbit << " bounce " << i;
      EXPECT_EQ(d.phi, rows[i].phi) << "orbit " << orbit << " bounce " << i;
    }
  };
  expectWalk(0, 0, 0.7, 61, 50);
  const std::vector<OrbitStart> starts = spreadStarts(table, 2, 0);
  expectWalk(51, 1, starts[0].distance, starts[0].angleDegrees, 30);
  expectWalk(82, 2, starts[1].distance, starts[1].angleDegrees, 7);
}

}  // namespace
}  // namespace trapezola

namespace trapezola {
namespace {

// A mark is a ring round the point's dot, in the pen's colour, that leaves the
// dot itself alone; points outside the window get none.
TEST(PeriodicMarks, RingEachPointInsideTheWindow) {
  const PhaseWindowRecord window = freshRunWindow(buildTable(0.5, 2));
  toolkit::TCanvas portrait(portraitWidth, portraitHeight);
  portrait.Pen->Color = toolkit::clBlack;
  portrait.Brush->Color = toolkit::clBlack;
  plotPhasePoint(portrait, window, 2, 2.0, 1.5);
  const toolkit::TBrushStyle before = portrait.Brush->Style;
  portrait.Pen->Color = 0x00FF00;
  drawPeriodicMarks(portrait, window, {{2.0, 1.5}, {-1.0, 1.5}, {2.0, 4.0}});
  EXPECT_EQ(portrait.Brush->Style, before);
  int ring = 0, dot = 0;
  for (int y = 0; y < portrait.height(); ++y) {
    for (int x = 0; x < portrait.width(); ++x) {
      ring += portrait.pixel(x, y) == 0x00FF00;
      dot += portrait.pixel(x, y) == toolkit::clBlack;
    }
  }
  EXPECT_GT(ring, 8);
  EXPECT_LT(ring, 40) << "one ring, none for the points outside";
  EXPECT_EQ(dot, 4) << "the dot inside the ring stays";
}

}  // namespace
}  // namespace trapezola

namespace trapezola {
namespace {

// A figure shows the orbits since the last clear, each in its colour and
// named by its start, with every bounce at its exact (s, phi).
TEST(VisibleOrbits, AreTheDotsSinceTheLastClear) {
  PortraitHistory h;
  h.steps.push_back(goStep(0.5, 2, 0.7, 61, 100));
  h.steps.push_back(step(HistoryStepKind::clear));
  HistoryStep second = goStep(0.5, 2, 2.5, 100, 40);
  second.orbit = 1;
  second.colour = 0x0000FF;
  h.steps.push_back(second);
  HistoryStep more = second;
  more.kind = HistoryStepKind::resume;
  more.firstBounce = 41;
  more.lastBounce = 60;
  // The ball after 40 bounces.
  {
    const BilliardTable table = buildTable(0.5, 2);
    Ball ball;
    launch(table, ball, 2.5, std::cos(startAngleRadians(100)));
    for (int n = 0; n < 40; ++n) bounce(table, ball);
    more.x = ball.x;
    more.y = ball.y;
    more.dx = ball.dx;
    more.dy = ball.dy;
  }
  h.steps.push_back(more);

  const std::vector<FigureOrbit> orbits = visibleOrbits(h, 1000);
  ASSERT_EQ(orbits.size(), 1u);
  EXPECT_EQ(orbits[0].colour, 0x0000FFu);
  EXPECT_EQ(orbits[0].start.distance, second.s);
  EXPECT_NEAR(orbits[0].start.angleDegrees, 100, 1e-12);
  // The walk keeps a reference to its table.
  const BilliardTable walked = buildTable(0.5, 2);
  OrbitWalk walk(walked, 2.5, 100, 60, 1);
  std::vector<PhasePoint> want;
  walk.advance(60, [&](const OrbitRow& r) {
    want.push_back(PhasePoint{r.s, r.phi});
    return true;
  });
  EXPECT_EQ(orbits[0].points, want);

  EXPECT_TRUE(visibleOrbits(h, 59).empty()) << "more dots than a figure holds";
  h.replayable = false;
  EXPECT_TRUE(visibleOrbits(h, 1000).empty()) << "a history that cannot say";

  // A many-orbit fill: its orbits in the palette.
  HistoryStep fill = goStep(0.5, 2, 0.7, 61, 0);
  fill.kind = HistoryStepKind::orbits;
  fill.count = 3;
  fill.bounces = 10;
  const std::vector<FigureOrbit> filled = visibleOrbits(PortraitHistory{true, {fill}}, 1000);
  ASSERT_EQ(filled.size(), 3u);
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(filled[i].colour, orbitPalette[i]);
    EXPECT_EQ(filled[i].points.size(), 10u);
  }
}

}  // namespace
}  // namespace trapezola
