// The atlas's heat map: the colour map's ends and steps, and a drawn map read
// back pixel by pixel (cells, the missing cell, the colour bar), and the PDF.
#include "export/heat_map.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

namespace trapezola {
namespace {

std::uint32_t rgbAt(const QImage& image, int x, int y) {
  return image.pixel(x, y) & 0xFFFFFFu;
}

TEST(Viridis, RunsFromDarkPurpleToYellowThroughItsStops) {
  EXPECT_EQ(viridis(0), 0x440154u);
  EXPECT_EQ(viridis(1), 0xFDE725u);
  EXPECT_EQ(viridis(5.0 / 9), 0x1F9E89u);
  EXPECT_EQ(viridis(-3), 0x440154u);
  EXPECT_EQ(viridis(7), 0xFDE725u);
  EXPECT_EQ(viridis(std::numeric_limits<double>::quiet_NaN()), 0x440154u);
  // Halfway between the first two stops, channel by channel, rounded.
  EXPECT_EQ(viridis(0.5 / 9), 0x461566u);
  // Perceptually ordered: the green channel, which carries most of the
  // lightness, never falls.
  unsigned previous = 0;
  for (int k = 0; k <= 100; ++k) {
    const unsigned green = (viridis(k / 100.0) >> 8) & 0xFFu;
    EXPECT_GE(green, previous) << k;
    previous = green;
  }
}

TEST(HeatMapScale, SpansTheFiniteValuesAndNeverCollapses) {
  HeatMap map;
  map.values = {3, std::numeric_limits<double>::quiet_NaN(), -1, 2};
  double low = 0, high = 0;
  heatMapScale(map, low, high);
  EXPECT_EQ(low, -1);
  EXPECT_EQ(high, 3);
  map.values = {0.25, 0.25};
  heatMapScale(map, low, high);
  EXPECT_EQ(low, -0.25);
  EXPECT_EQ(high, 0.75);
}

class HeatMapPicture : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    static int argc = 1;
    static char name[] = "heat_map_tests";
    static char* argv[] = {name, nullptr};
    if (QGuiApplication::instance() == nullptr) application = new QGuiApplication(argc, argv);
  }
  // The application's end releases the font database, whose fontconfig memory
  // LeakSanitizer would otherwise report.
  static void TearDownTestSuite() {
    delete application;
    application = nullptr;
  }
  static QGuiApplication* application;

  // 3 b values by 2 R8/R values: the lowest, the highest, a middle value and a
  // missing cell.
  static HeatMap sample() {
    HeatMap map;
    map.title = "chaotic_fraction over the (b, R8/R) plane";
    map.subtitle = "4 orbits";
    map.valueName = "chaotic_fraction";
    map.bValues = {0.2, 0.6, 1};
    map.rrValues = {1, 2};
    map.values = {0, 0.5, std::numeric_limits<double>::quiet_NaN(), 1, 0.25, 0.75};
    return map;
  }
};
QGuiApplication* HeatMapPicture::application = nullptr;

TEST_F(HeatMapPicture, CellsTakeTheirValuesColourAndTheBarItsScale) {
  const HeatMap map = sample();
  const std::string png = renderHeatMap(map, "png");
  const QImage image =
      QImage::fromData(reinterpret_cast<const uchar*>(png.data()), static_cast<int>(png.size()));
  ASSERT_FALSE(image.isNull());
  ASSERT_EQ(image.width(), heatMapWidth);
  ASSERT_EQ(image.height(), heatMapHeight);
  const auto cell = [&](std::size_t i, std::size_t j) {
    int x = 0, y = 0;
    heatMapCellCentre(map, i, j, x, y);
    return rgbAt(image, x, y);
  };
  EXPECT_EQ(cell(0, 0), viridis(0));    // value 0, the lowest
  EXPECT_EQ(cell(0, 1), viridis(0.5));  // value 0.5
  EXPECT_EQ(cell(1, 0), 0xC0C0C0u);     // missing: grey
  EXPECT_EQ(cell(1, 1), viridis(1));    // value 1, the highest
  EXPECT_EQ(cell(2, 0), viridis(0.25));
  EXPECT_EQ(cell(2, 1), viridis(0.75));
  // R8/R grows upwards: row 1 lies above row 0.
  int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  heatMapCellCentre(map, 0, 0, x0, y0);
  heatMapCellCentre(map, 0, 1, x1, y1);
  EXPECT_LT(y1, y0);
  EXPECT_EQ(x0, x1);
  // The colour bar: the low end at the bottom, the high end at the top.
  EXPECT_EQ(rgbAt(image, 815, plotBottom - 1), viridis(0));
  EXPECT_EQ(rgbAt(image, 815, plotTop), viridis(1));
  // Text was drawn: the title's band is not all white.
  bool inked = false;
  for (int x = 0; x < heatMapWidth && !inked; ++x) {
    for (int y = 12; y < 40 && !inked; ++y) inked = rgbAt(image, x, y) != 0xFFFFFFu;
  }
  EXPECT_TRUE(inked);
}

TEST_F(HeatMapPicture, WritesPdfAndSvgAndRefusesOtherFormatsAndShapes) {
  HeatMap map = sample();
  const std::string pdf = renderHeatMap(map, "pdf");
  EXPECT_EQ(pdf.rfind("%PDF", 0), 0u);
  // The SVG keeps the cells as vector rectangles, each in its viridis colour.
  const std::string svg = renderHeatMap(map, "svg");
  EXPECT_NE(svg.find("<svg"), std::string::npos);
  EXPECT_NE(svg.find("viewBox=\"0 0 960 720\""), std::string::npos);
  char top[8];
  std::snprintf(top, sizeof top, "#%06x", static_cast<unsigned>(viridis(1)));
  EXPECT_NE(svg.find(top), std::string::npos) << top;
  EXPECT_THROW(renderHeatMap(map, "gif"), std::runtime_error);
  map.values.pop_back();
  EXPECT_THROW(renderHeatMap(map, "png"), std::runtime_error);
}

}  // namespace
}  // namespace trapezola
