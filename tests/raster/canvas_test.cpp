// Pixel-exact checks of the raster canvas: exclusive ends, the bounce dots,
// ellipse and arc shapes, and clipping of coordinates anywhere in the int range.
#include "raster/canvas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <functional>
#include <limits>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace trapezola::toolkit {
namespace {

using Pixel = std::pair<int, int>;  // (x, y)
using PixelSet = std::set<Pixel>;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

PixelSet pixelsOf(const TCanvas& canvas, TColor colour) {
  PixelSet found;
  for (int y = 0; y < canvas.height(); ++y) {
    for (int x = 0; x < canvas.width(); ++x) {
      if (canvas.pixel(x, y) == colour) found.insert({x, y});
    }
  }
  return found;
}

PixelSet nonWhite(const TCanvas& canvas) {
  PixelSet found;
  for (int y = 0; y < canvas.height(); ++y) {
    for (int x = 0; x < canvas.width(); ++x) {
      if (canvas.pixel(x, y) != clWhite) found.insert({x, y});
    }
  }
  return found;
}

// One character per pixel: '.' white, 'P' pen (black), 'B' brush (blue).
std::vector<std::string> picture(const TCanvas& canvas) {
  std::vector<std::string> rows;
  for (int y = 0; y < canvas.height(); ++y) {
    std::string row;
    for (int x = 0; x < canvas.width(); ++x) {
      const TColor c = canvas.pixel(x, y);
      row += c == clWhite ? '.' : c == clBlack ? 'P' : c == clBlue ? 'B' : '?';
    }
    rows.push_back(row);
  }
  return rows;
}

// Draws `draw` shifted by (dx, dy) on a canvas large enough to hold the whole
// figure, and returns the part that lands on a width x height window at the
// origin: what a correctly clipped drawing on the small canvas must show.
std::vector<std::string> unclippedWindow(int width, int height, int dx, int dy,
                                         const std::function<void(TCanvas&, int, int)>& draw) {
  TCanvas big(width + 2 * dx, height + 2 * dy);
  big.Brush->Color = clBlue;
  draw(big, dx, dy);
  std::vector<std::string> rows = picture(big);
  std::vector<std::string> window;
  for (int y = 0; y < height; ++y) window.push_back(rows[dy + y].substr(dx, width));
  return window;
}

std::vector<std::string> clipped(int width, int height, const std::function<void(TCanvas&, int, int)>& draw) {
  TCanvas small(width, height);
  small.Brush->Color = clBlue;
  draw(small, 0, 0);
  return picture(small);
}

TEST(PixelFromReal, TruncatesTowardZeroAndSaturates) {
  struct Case {
    double value;
    int expected;
  };
  const Case cases[] = {
      {0.0, 0},
      {0.999, 0},
      {-0.999, 0},
      {2.5, 2},
      {-2.5, -2},
      {678.0 - 1e-12, 677},
      {kNaN, INT_MIN},
      {-kNaN, INT_MIN},
      {-kInf, INT_MIN},
      {kInf, INT_MAX},
      {1e300, INT_MAX},
      {-1e300, INT_MIN},
      {2147483647.0, INT_MAX},
      {2147483647.9, INT_MAX},
      {2147483648.0, INT_MAX},
      {-2147483648.0, INT_MIN},
      {-2147483648.9, INT_MIN},
      {-2147483649.0, INT_MIN},
  };
  for (const Case& c : cases) EXPECT_EQ(pixelFromReal(c.value), c.expected) << c.value;
}

TEST(CanvasPixels, StartsWhiteAndStoresColoursAsRgb32) {
  TCanvas canvas(4, 3);
  EXPECT_EQ(pixelsOf(canvas, clWhite).size(), 12u);
  const std::pair<TColor, std::uint32_t> colours[] = {
      {clRed, 0xFFFF0000u}, {clGreen, 0xFF00FF00u}, {clBlue, 0xFF0000FFu}, {0x123456, 0xFF563412u}};
  for (const auto& [colour, word] : colours) {
    canvas.Brush->Color = colour;
    canvas.FillRect(1, 1, 2, 2);
    EXPECT_EQ(canvas.pixel(1, 1), colour);
    EXPECT_EQ(canvas.bits()[1 * 4 + 1], word);
  }
  EXPECT_EQ(canvas.pixel(-1, 0), clBlack);
  EXPECT_EQ(canvas.pixel(4, 0), clBlack);
  EXPECT_EQ(canvas.pixel(0, INT_MAX), clBlack);
}

TEST(CanvasLine, SetsTheStartButNotTheEndPixel) {
  struct Case {
    Pixel from, to;
    PixelSet expected;
  };
  const Case cases[] = {
      {{1, 1}, {5, 1}, {{1, 1}, {2, 1}, {3, 1}, {4, 1}}},
      {{5, 1}, {1, 1}, {{5, 1}, {4, 1}, {3, 1}, {2, 1}}},
      {{2, 0}, {2, 3}, {{2, 0}, {2, 1}, {2, 2}}},
      {{2, 3}, {2, 0}, {{2, 3}, {2, 2}, {2, 1}}},
      {{0, 0}, {3, 3}, {{0, 0}, {1, 1}, {2, 2}}},
      {{3, 0}, {0, 3}, {{3, 0}, {2, 1}, {1, 2}}},
      // Half-way minor steps round away from the start.
      {{0, 0}, {4, 2}, {{0, 0}, {1, 1}, {2, 1}, {3, 2}}},
      {{0, 0}, {2, 4}, {{0, 0}, {1, 1}, {1, 2}, {2, 3}}},
      {{3, 3}, {3, 3}, {}},
      {{0, 0}, {1, 0}, {{0, 0}}},
  };
  for (const Case& c : cases) {
    TCanvas canvas(8, 6);
    canvas.MoveTo(c.from.first, c.from.second);
    canvas.LineTo(c.to.first, c.to.second);
    EXPECT_EQ(nonWhite(canvas), c.expected)
        << c.from.first << "," << c.from.second << " to " << c.to.first << "," << c.to.second;
    EXPECT_EQ(canvas.penX(), c.to.first);
    EXPECT_EQ(canvas.penY(), c.to.second);
  }
}

TEST(CanvasLine, PolylineJoinsWithoutGapsOrDoubleEnds) {
  // The Lyapunov axes' ticks and the series are polylines: each segment starts
  // where the previous one stopped short.
  TCanvas canvas(10, 10);
  canvas.Pen->Color = clRed;
  canvas.MoveTo(1, 1);
  canvas.LineTo(6, 1);
  canvas.LineTo(6, 5);
  canvas.LineTo(1, 5);
  EXPECT_EQ(pixelsOf(canvas, clRed).size(), 5u + 4u + 5u);
  EXPECT_EQ(canvas.pixel(6, 1), clRed);
  EXPECT_EQ(canvas.pixel(1, 5), clWhite);
}

TEST(CanvasLine, ClippingKeepsExactlyTheVisiblePixels) {
  // Lines with ends well outside a 30 x 20 image must show the same pixels as
  // the same lines drawn whole on a larger image.
  std::mt19937 random(12345);
  std::uniform_int_distribution<int> coordinate(-60, 90);
  for (int n = 0; n < 400; ++n) {
    const int x0 = coordinate(random), y0 = coordinate(random);
    const int x1 = coordinate(random), y1 = coordinate(random);
    auto draw = [&](TCanvas& c, int dx, int dy) {
      c.MoveTo(x0 + dx, y0 + dy);
      c.LineTo(x1 + dx, y1 + dy);
    };
    ASSERT_EQ(clipped(30, 20, draw), unclippedWindow(30, 20, 100, 100, draw))
        << "(" << x0 << "," << y0 << ") to (" << x1 << "," << y1 << ")";
  }
}

TEST(CanvasLine, EndsAtTheLimitsOfIntCostOnlyTheVisiblePart) {
  // A walk over 2^32 steps would take seconds; these finish at once.
  TCanvas canvas(50, 10);
  canvas.MoveTo(INT_MIN, 5);
  canvas.LineTo(INT_MAX, 5);
  PixelSet row5;
  for (int x = 0; x < 50; ++x) row5.insert({x, 5});
  EXPECT_EQ(nonWhite(canvas), row5);

  TCanvas diagonal(10, 10);
  diagonal.MoveTo(INT_MIN, INT_MIN);
  diagonal.LineTo(INT_MAX, INT_MAX);
  PixelSet main;
  for (int i = 0; i < 10; ++i) main.insert({i, i});
  EXPECT_EQ(nonWhite(diagonal), main);

  // From (INT_MIN, 0) to (INT_MAX, 1) x = 0 is step 2^31 of 2^32 - 1, just past
  // half-way: the whole visible part lies on row 1. Needs the exact wide product.
  TCanvas shallow(10, 3);
  shallow.MoveTo(INT_MIN, 0);
  shallow.LineTo(INT_MAX, 1);
  PixelSet row1;
  for (int x = 0; x < 10; ++x) row1.insert({x, 1});
  EXPECT_EQ(nonWhite(shallow), row1);

  TCanvas column(10, 10);
  column.MoveTo(3, INT_MAX);
  column.LineTo(3, INT_MIN);
  EXPECT_EQ(nonWhite(column).size(), 10u);

  TCanvas outside(10, 10);
  outside.MoveTo(INT_MIN, INT_MIN);
  outside.LineTo(INT_MAX, INT_MIN);
  outside.MoveTo(-5, 20);
  outside.LineTo(20, 12);
  EXPECT_TRUE(nonWhite(outside).empty());
  EXPECT_EQ(outside.generation(), 0u);
}

TEST(CanvasFillRect, RightAndBottomAreExcluded) {
  struct Case {
    int left, top, right, bottom;
    std::size_t filled;
  };
  const Case cases[] = {
      {1, 1, 4, 3, 6},     {0, 0, 5, 4, 20},
      {0, 0, 4, 4, 16},  // the last column keeps its content, like column 793 of the portrait
      {2, 2, 2, 4, 0},     {4, 1, 1, 3, 0},  // corners in the wrong order paint nothing
      {1, 3, 4, 1, 0},     {INT_MIN, INT_MIN, INT_MAX, INT_MAX, 20},
      {-10, -10, 1, 1, 1}, {5, 0, 100, 4, 0},
  };
  for (const Case& c : cases) {
    TCanvas canvas(5, 4);
    canvas.Brush->Color = clBlack;
    canvas.FillRect(c.left, c.top, c.right, c.bottom);
    EXPECT_EQ(pixelsOf(canvas, clBlack).size(), c.filled)
        << c.left << " " << c.top << " " << c.right << " " << c.bottom;
  }
  TCanvas canvas(5, 4);
  canvas.Brush->Color = clBlack;
  canvas.FillRect(TRect{0, 0, 4, 4});
  EXPECT_EQ(canvas.pixel(3, 3), clBlack);
  EXPECT_EQ(canvas.pixel(4, 0), clWhite);

  canvas.Brush->Style = bsClear;
  canvas.Brush->Color = clRed;
  canvas.FillRect(0, 0, 5, 4);
  EXPECT_TRUE(pixelsOf(canvas, clRed).empty());
}

TEST(CanvasEllipse, BounceDotsLieRightOfAndAboveTheMappedPixel) {
  // plotPhasePoint draws Ellipse(X, Y, X + size, Y - size).
  struct Case {
    int size;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {1, {".....", ".....", ".....", ".P...", "....."}},
      {2, {".....", ".....", ".PP..", ".PP..", "....."}},
      {3, {".....", "..P..", ".PBP.", "..P..", "....."}},
  };
  for (const Case& c : cases) {
    TCanvas canvas(5, 5);
    canvas.Brush->Color = clBlue;
    canvas.Ellipse(1, 4, 1 + c.size, 4 - c.size);
    EXPECT_EQ(picture(canvas), c.expected) << "size " << c.size;
  }
}

TEST(CanvasEllipse, CornerOrderDoesNotMatter) {
  const int boxes[][4] = {{1, 1, 8, 6}, {8, 1, 1, 6}, {1, 6, 8, 1}, {8, 6, 1, 1}};
  TCanvas reference(10, 8);
  reference.Brush->Color = clBlue;
  reference.Ellipse(1, 1, 8, 6);
  for (const auto& b : boxes) {
    TCanvas canvas(10, 8);
    canvas.Brush->Color = clBlue;
    canvas.Ellipse(b[0], b[1], b[2], b[3]);
    EXPECT_EQ(picture(canvas), picture(reference));
  }
}

TEST(CanvasEllipse, SmallBoxesHaveFixedShapes) {
  struct Case {
    int w, h;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {3, 2, {"PPP", "PPP"}},
      {2, 3, {"PP", "PP", "PP"}},
      {1, 3, {"P", "P", "P"}},
      // The sketch's hover marker: a filled disc in a 4 x 4 box.
      {4, 4, {".PP.", "PBBP", "PBBP", ".PP."}},
      {5, 5, {".PPP.", "PBBBP", "PBBBP", "PBBBP", ".PPP."}},
      {7, 3, {".PPPPP.", "PBBBBBP", ".PPPPP."}},
      {6, 2, {"PPPPPP", "PPPPPP"}},
  };
  for (const Case& c : cases) {
    TCanvas canvas(c.w, c.h);
    canvas.Brush->Color = clBlue;
    canvas.Ellipse(0, 0, c.w, c.h);
    EXPECT_EQ(picture(canvas), c.expected) << c.w << " x " << c.h;
  }
  TCanvas canvas(5, 5);
  canvas.Ellipse(2, 2, 2, 4);
  canvas.Ellipse(1, 3, 4, 3);
  EXPECT_TRUE(nonWhite(canvas).empty());
  EXPECT_EQ(canvas.generation(), 0u);
}

TEST(CanvasEllipse, ClearBrushLeavesTheInsideAlone) {
  TCanvas canvas(5, 5);
  canvas.Brush->Color = clRed;
  canvas.FillRect(0, 0, 5, 5);
  canvas.Brush->Style = bsClear;
  canvas.Ellipse(0, 0, 3, 3);
  canvas.Ellipse(0, 0, 5, 5);
  EXPECT_EQ(canvas.pixel(1, 1), clRed);
  EXPECT_EQ(canvas.pixel(2, 2), clRed);
  EXPECT_EQ(canvas.pixel(1, 0), clBlack);
  EXPECT_EQ(canvas.pixel(0, 0), clRed);
}

TEST(CanvasEllipse, CirclesAreSymmetricClosedRings) {
  for (int size = 4; size <= 41; ++size) {
    TCanvas canvas(size, size);
    canvas.Brush->Color = clBlue;
    canvas.Ellipse(0, 0, size, size);
    const std::vector<std::string> rows = picture(canvas);
    for (int y = 0; y < size; ++y) {
      for (int x = 0; x < size; ++x) {
        const char c = rows[y][x];
        ASSERT_EQ(c, rows[y][size - 1 - x]) << size;
        ASSERT_EQ(c, rows[size - 1 - y][x]) << size;
        ASSERT_EQ(c, rows[x][y]) << size;
        // The ring separates inside from outside: no brush pixel touches a white one.
        if (c == 'B') {
          for (auto [nx, ny] : {Pixel{x - 1, y}, Pixel{x + 1, y}, Pixel{x, y - 1}, Pixel{x, y + 1}}) {
            ASSERT_NE(rows[ny][nx], '.') << size;
          }
        }
      }
    }
    // The circle touches each side of its box in the middle.
    EXPECT_EQ(rows[0][size / 2], 'P') << size;
    EXPECT_EQ(rows[size / 2][0], 'P') << size;
    EXPECT_EQ(rows[0][0], '.') << size;
  }
}

TEST(CanvasEllipse, ClippingKeepsExactlyTheVisiblePixels) {
  // Boxes straddling every edge of a 12 x 9 image, dots included.
  const int boxes[][4] = {{-1, -1, 2, 2},  {10, 7, 13, 10}, {-1, 8, 1, 10},      {11, -1, 14, 2},
                          {-5, -3, 6, 5},  {4, 3, 20, 15},  {-8, -8, 25, 20},    {-3, 2, 4, 4},
                          {6, -20, 9, 30}, {-40, 1, 13, 8}, {3, 4, 3 + 2, 4 - 2}};
  for (const auto& b : boxes) {
    for (const bool solid : {true, false}) {
      auto draw = [&](TCanvas& c, int dx, int dy) {
        c.Brush->Style = solid ? bsSolid : bsClear;
        c.Ellipse(b[0] + dx, b[1] + dy, b[2] + dx, b[3] + dy);
      };
      EXPECT_EQ(clipped(12, 9, draw), unclippedWindow(12, 9, 50, 50, draw))
          << b[0] << " " << b[1] << " " << b[2] << " " << b[3];
    }
  }
}

TEST(CanvasEllipse, BoxesAtTheLimitsOfIntAreClipped) {
  TCanvas canvas(20, 10);
  canvas.Brush->Color = clBlue;
  // NaN and infinite bounces reach Ellipse through pixelFromReal.
  canvas.Ellipse(pixelFromReal(kNaN), pixelFromReal(kNaN), pixelFromReal(kNaN + 2), pixelFromReal(kNaN - 2));
  canvas.Ellipse(pixelFromReal(kInf), 5, pixelFromReal(kInf + 2), 3);
  canvas.Ellipse(INT_MAX - 1, INT_MAX - 1, INT_MAX, INT_MAX);
  canvas.Ellipse(INT_MIN, 4, INT_MIN + 3, 1);
  canvas.Ellipse(INT_MIN, INT_MIN, INT_MAX, -1);
  EXPECT_TRUE(nonWhite(canvas).empty());

  // The image sits at the centre of this box, deep inside the ellipse.
  canvas.Ellipse(INT_MIN, INT_MIN, INT_MAX, INT_MAX);
  EXPECT_EQ(pixelsOf(canvas, clBlue).size(), 200u);

  // A huge circle whose right end is at x = 19, level with row 5.
  TCanvas edge(20, 10);
  edge.Brush->Color = clBlue;
  edge.Ellipse(-1'999'980, 5 - 1'000'000, 20, 5 + 1'000'001);
  EXPECT_EQ(edge.pixel(19, 5), clBlack);
  EXPECT_EQ(edge.pixel(18, 5), clBlue);
  EXPECT_EQ(edge.pixel(0, 0), clBlue);
}

TEST(CanvasArc, EqualRaysDrawTheWholeOutline) {
  const int boxes[][4] = {{0, 0, 2, 2}, {0, 0, 3, 3}, {1, 2, 8, 7}, {0, 0, 12, 12}, {-4, -2, 10, 9}};
  for (const auto& b : boxes) {
    TCanvas arc(12, 12), outline(12, 12);
    arc.Arc(b[0], b[1], b[2], b[3], 5, 0, 5, 0);
    outline.Brush->Style = bsClear;
    outline.Ellipse(b[0], b[1], b[2], b[3]);
    EXPECT_EQ(picture(arc), picture(outline)) << b[0] << " " << b[1] << " " << b[2] << " " << b[3];
  }
}

TEST(CanvasArc, RunsCounterClockwiseOnScreen) {
  TCanvas full(21, 21);
  full.Brush->Style = bsClear;
  full.Ellipse(0, 0, 21, 21);
  const PixelSet ring = nonWhite(full);

  // East to west counter-clockwise is the upper half on screen, west to east the lower.
  TCanvas upper(21, 21), lower(21, 21), quarter(21, 21);
  upper.Arc(0, 0, 21, 21, 20, 10, 0, 10);
  lower.Arc(0, 0, 21, 21, 0, 10, 20, 10);
  quarter.Arc(0, 0, 21, 21, 10, 9, 9, 10);  // north to west, rays through the centre pixel's neighbours
  PixelSet expectedUpper, expectedLower, expectedQuarter;
  for (const Pixel& p : ring) {
    if (p.second <= 10) expectedUpper.insert(p);
    if (p.second >= 10) expectedLower.insert(p);
    if (p.first <= 10 && p.second <= 10) expectedQuarter.insert(p);
  }
  EXPECT_EQ(nonWhite(upper), expectedUpper);
  EXPECT_EQ(nonWhite(lower), expectedLower);
  EXPECT_EQ(nonWhite(quarter), expectedQuarter);
}

TEST(CanvasArc, RaysPassThroughPixelCentres) {
  // Rays from the centre pixel of an odd box through the centre of a pixel on
  // its edge: the arc ends exactly on that pixel.
  struct Case {
    int size;
    Pixel start, end;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {3, {2, 1}, {1, 0}, {".P.", "..P", "..."}},
      {3, {1, 0}, {2, 1}, {".P.", "P.P", ".P."}},  // north round to east: three quarters
      {5, {2, 4}, {4, 2}, {".....", ".....", "....P", "....P", "..PP."}},
      {5, {2, 0}, {0, 2}, {".PP..", "P....", "P....", ".....", "....."}},
  };
  for (const Case& c : cases) {
    TCanvas canvas(c.size, c.size);
    canvas.Arc(0, 0, c.size, c.size, c.start.first, c.start.second, c.end.first, c.end.second);
    EXPECT_EQ(picture(canvas), c.expected) << c.size << " from " << c.start.first << "," << c.start.second;
  }
}

TEST(CanvasArc, ClippingKeepsExactlyTheVisiblePixels) {
  const int arcs[][8] = {{-10, -6, 15, 14, 14, 0, -5, 5},
                         {3, -20, 40, 8, 0, 0, 20, 8},
                         {-30, 2, 10, 30, 10, 20, -3, 0},
                         {-2, -2, 14, 11, 0, 11, 0, 0},
                         {11, 8, -6, -4, 6, 6, 6, 6}};
  for (const auto& a : arcs) {
    auto draw = [&](TCanvas& c, int dx, int dy) {
      c.Arc(a[0] + dx, a[1] + dy, a[2] + dx, a[3] + dy, a[4] + dx, a[5] + dy, a[6] + dx, a[7] + dy);
    };
    EXPECT_EQ(clipped(12, 9, draw), unclippedWindow(12, 9, 60, 60, draw)) << a[0] << " " << a[1];
  }
}

// The sketch of the table b = 0.5, R8/R = 2 on the 209 x 241 image: each arc
// runs from one corner to the next, and nothing of the rest of its circle shows.
TEST(CanvasArc, TableSketchArcsJoinTheCorners) {
  struct Case {
    int box[4];
    Pixel start, end;
    Pixel extreme;                         // the arc's outermost point on the image
    std::function<bool(Pixel)> wrongSide;  // where the rest of its circle would show
  };
  const Case cases[] = {
      {{67, 41, 142, 116}, {132, 53}, {78, 53}, {104, 41}, [](Pixel p) { return p.second > 54; }},
      {{47, 18, 270, 241}, {78, 53}, {51, 157}, {47, 129}, [](Pixel p) { return p.first > 80; }},
      {{49, 88, 160, 199}, {51, 157}, {159, 157}, {104, 198}, [](Pixel p) { return p.second < 156; }},
      {{162, 241, -60, 18}, {159, 157}, {132, 53}, {161, 129}, [](Pixel p) { return p.first < 130; }},
  };
  TCanvas sketch(209, 241);
  for (const Case& c : cases) {
    TCanvas canvas(209, 241);
    canvas.Arc(c.box[0], c.box[1], c.box[2], c.box[3], c.start.first, c.start.second, c.end.first,
               c.end.second);
    sketch.Arc(c.box[0], c.box[1], c.box[2], c.box[3], c.start.first, c.start.second, c.end.first,
               c.end.second);
    const PixelSet drawn = nonWhite(canvas);
    EXPECT_EQ(canvas.pixel(c.extreme.first, c.extreme.second), clBlack) << c.box[0];
    for (const Pixel& corner : {c.start, c.end}) {
      const bool near = std::any_of(drawn.begin(), drawn.end(), [&](Pixel p) {
        return std::abs(p.first - corner.first) <= 2 && std::abs(p.second - corner.second) <= 2;
      });
      EXPECT_TRUE(near) << "arc " << c.box[0] << " misses corner " << corner.first << "," << corner.second;
    }
    EXPECT_TRUE(std::none_of(drawn.begin(), drawn.end(), c.wrongSide)) << c.box[0];
  }
  // Together the four arcs close the outline: filling from the table's centre
  // stays inside. Nothing of the side circles' remaining three quarters shows
  // (those alone would add some 300 pixels).
  PixelSet inside{{104, 116}};
  std::vector<Pixel> todo{{104, 116}};
  while (!todo.empty()) {
    const auto [x, y] = todo.back();
    todo.pop_back();
    ASSERT_TRUE(x > 0 && y > 0 && x < 208 && y < 240) << "the outline leaks at " << x << "," << y;
    for (const Pixel& n : {Pixel{x - 1, y}, Pixel{x + 1, y}, Pixel{x, y - 1}, Pixel{x, y + 1}}) {
      if (sketch.pixel(n.first, n.second) == clWhite && inside.insert(n).second) todo.push_back(n);
    }
  }
  EXPECT_LT(nonWhite(sketch).size(), 430u);
}

TEST(CanvasArc, HugeBoxesCostOnlyTheVisibleRows) {
  TCanvas canvas(30, 20);
  canvas.Arc(INT_MIN, INT_MIN, INT_MAX, INT_MAX, 0, 0, 1, 1);
  canvas.Arc(pixelFromReal(-kInf), pixelFromReal(kNaN), pixelFromReal(kInf), pixelFromReal(1e300), 3, 3, 4,
             4);
  EXPECT_TRUE(nonWhite(canvas).empty());

  // The right end of a circle of radius about 10^9, level with row 10, from
  // east to north: on a 30 x 20 image that is the last column down to row 10.
  canvas.Arc(30 - 2'000'000'000, 10 - 1'000'000'000, 30, 10 + 1'000'000'001, 29, 10, -5, 10 - 1'000'000'000);
  PixelSet column;
  for (int y = 0; y <= 10; ++y) column.insert({29, y});
  EXPECT_EQ(nonWhite(canvas), column);
}

TEST(CanvasDirtyRect, CoversEveryWriteSinceTheLastCall) {
  TCanvas canvas(20, 10);
  EXPECT_TRUE(canvas.takeDirtyRect().isEmpty());
  canvas.MoveTo(2, 3);
  canvas.LineTo(7, 5);
  canvas.Ellipse(-1, 9, 1, 7);
  const TRect r = canvas.takeDirtyRect();
  EXPECT_EQ(r.Left, 0);
  EXPECT_EQ(r.Top, 3);
  EXPECT_EQ(r.Right, 7);  // x = 7 is the excluded end
  EXPECT_EQ(r.Bottom, 9);
  EXPECT_TRUE(canvas.takeDirtyRect().isEmpty());

  const std::uint64_t before = canvas.generation();
  canvas.FillRect(30, 0, 40, 5);
  canvas.Ellipse(-10, -10, -7, -7);
  EXPECT_TRUE(canvas.takeDirtyRect().isEmpty());
  EXPECT_EQ(canvas.generation(), before);
  canvas.FillRect(18, 8, 40, 50);
  EXPECT_GT(canvas.generation(), before);
  const TRect corner = canvas.takeDirtyRect();
  EXPECT_EQ(corner.Left, 18);
  EXPECT_EQ(corner.Top, 8);
  EXPECT_EQ(corner.Right, 20);
  EXPECT_EQ(corner.Bottom, 10);
}

TEST(CanvasAssign, ReplacesSizeAndPixels) {
  TCanvas canvas(4, 4);
  canvas.takeDirtyRect();
  const std::uint32_t picture[] = {0x00FF0000u, 0xFF00FF00u, 0x120000FFu, 0xFFFFFFFFu, 0u, 0xFF102030u};
  canvas.assign(3, 2, picture);
  EXPECT_EQ(canvas.width(), 3);
  EXPECT_EQ(canvas.height(), 2);
  EXPECT_EQ(canvas.pixel(0, 0), clRed);
  EXPECT_EQ(canvas.pixel(1, 0), clGreen);
  EXPECT_EQ(canvas.pixel(2, 0), clBlue);
  EXPECT_EQ(canvas.pixel(2, 1), 0x302010u);
  EXPECT_EQ(canvas.bits()[0], 0xFFFF0000u);  // opaque, as Format_RGB32 expects
  const TRect all = canvas.takeDirtyRect();
  EXPECT_EQ(all.Right, 3);
  EXPECT_EQ(all.Bottom, 2);
  EXPECT_THROW(canvas.assign(2, 2, nullptr), std::invalid_argument);
  canvas.assign(0, 0, nullptr);
  EXPECT_EQ(canvas.width(), 0);
  canvas.MoveTo(-1, -1);
  canvas.LineTo(5, 5);
  canvas.Ellipse(0, 0, 2, 2);
  canvas.Ellipse(0, 0, 9, 9);
  canvas.Arc(0, 0, 9, 9, 0, 0, 1, 1);
  canvas.FillRect(0, 0, 9, 9);
}

}  // namespace
}  // namespace trapezola::toolkit
