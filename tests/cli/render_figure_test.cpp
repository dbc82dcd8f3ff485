// trapezola-cli render --figure and portrait --figure: the three formats, the
// page's physical width, phi ticks in fractions of pi, exact vector dots (one
// path an orbit), the legend, the PNG's width from --dpi or --width, and the
// refusals.
#include <gtest/gtest.h>

#include <QImage>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

namespace trapezola {
namespace {

const std::string renderArguments = "render --b 0.5 --rr 2 --distance 0.7 --angle 60 --repeat 2 --figure ";

int runCli(const std::string& arguments) {
  const std::string command = std::string("'") + TRAPEZOLA_CLI + "' " + arguments + " 2>/dev/null";
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string contents(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), {}};
}

std::size_t count(const std::string& text, const std::string& what) {
  std::size_t n = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

TEST(RenderFigure, WritesPngSvgAndPdfWithAxesAndTitle) {
  const std::string dir = ::testing::TempDir();
  ASSERT_EQ(runCli(renderArguments + "--width 900 --out '" + dir + "fig.png'"), 0);
  const QImage png(QString::fromStdString(dir + "fig.png"));
  EXPECT_EQ(png.width(), 900);
  EXPECT_GT(png.height(), 700);

  ASSERT_EQ(runCli(renderArguments + "--out '" + dir + "fig.svg'"), 0);
  const std::string svg = contents(dir + "fig.svg");
  EXPECT_NE(svg.find("<svg width=\"180mm\""), std::string::npos);  // the default width
  EXPECT_NE(svg.find("b = 0.5, R8/R = 2"), std::string::npos);
  // One orbit: its 2000 dots are one path of 2000 strokes (the first move
  // opens the path's data), not rectangles: those are the page and the frame.
  EXPECT_LT(count(svg, "<rect"), 5u);
  EXPECT_EQ(count(svg, "<path"), 1u);
  EXPECT_EQ(count(svg, "d=\"M") + count(svg, " M"), 2000u);
  for (const char* tick : {">0<", ">π/4<", ">π/2<", ">3π/4<", ">π<"}) {
    EXPECT_NE(svg.find(tick), std::string::npos) << tick;
  }

  ASSERT_EQ(runCli(renderArguments + "--out '" + dir + "fig.pdf'"), 0);
  const std::string pdf = contents(dir + "fig.pdf");
  EXPECT_EQ(pdf.substr(0, 5), "%PDF-");
  std::remove((dir + "fig.png").c_str());
  std::remove((dir + "fig.svg").c_str());
  std::remove((dir + "fig.pdf").c_str());
}

TEST(RenderFigure, OneColumnWideAtPrintSize) {
  const std::string dir = ::testing::TempDir();
  ASSERT_EQ(runCli(renderArguments + "--figure-width 85mm --legend --out '" + dir + "narrow.svg'"), 0);
  const std::string svg = contents(dir + "narrow.svg");
  EXPECT_NE(svg.find("<svg width=\"85mm\""), std::string::npos);
  // The legend; the generator writes the Greek letter as a text of its own.
  EXPECT_NE(svg.find(">s = 0.700, "), std::string::npos);
  EXPECT_NE(svg.find(" = 60.0°<"), std::string::npos);
  // Texts at print size: 7 to 9 points, a point a user unit.
  EXPECT_NE(svg.find("font-size=\"7\""), std::string::npos);
  EXPECT_EQ(svg.find("font-size=\"14\""), std::string::npos);
  ASSERT_EQ(runCli(renderArguments + "--figure-width 8.5cm --dpi 600 --out '" + dir + "narrow.png'"), 0);
  EXPECT_EQ(QImage(QString::fromStdString(dir + "narrow.png")).width(), 2008);  // 85 mm at 600 dpi
  ASSERT_EQ(runCli(renderArguments + "--figure-width 85mm --out '" + dir + "narrow.pdf'"), 0);
  // Qt sets the page in whole points: 85 mm is 240.94 pt.
  EXPECT_NE(contents(dir + "narrow.pdf").find("/MediaBox [0 0 241"), std::string::npos);
  for (const char* name : {"narrow.svg", "narrow.png", "narrow.pdf"}) std::remove((dir + name).c_str());
}

TEST(PortraitFigure, OnePathAnOrbitInItsColourWithALegend) {
  const std::string dir = ::testing::TempDir();
  ASSERT_EQ(runCli("portrait --b 0.5 --rr 2 --start 0.7,60 --start 2,80 --start 4,100 --bounces 500 --figure "
                   "--figure-width 85mm --legend --out '" +
                   dir + "three.svg'"),
            0);
  const std::string svg = contents(dir + "three.svg");
  EXPECT_EQ(count(svg, "<path"), 3u);
  EXPECT_EQ(count(svg, "d=\"M") + count(svg, " M"), 1500u);
  // Kelly's black, yellow and purple, the palette's first three.
  for (const char* colour : {"stroke=\"#000000\"", "stroke=\"#f3c300\"", "stroke=\"#875692\""}) {
    EXPECT_NE(svg.find(colour), std::string::npos) << colour;
  }
  for (const char* start : {">s = 0.700, ", ">s = 2.000, ", ">s = 4.000, ", " = 100.0°<"}) {
    EXPECT_NE(svg.find(start), std::string::npos) << start;
  }
  std::remove((dir + "three.svg").c_str());
}

TEST(RenderFigure, RefusesOtherFormatsAndAStrayWidth) {
  const std::string dir = ::testing::TempDir();
  EXPECT_EQ(runCli(renderArguments + "--out '" + dir + "fig.bmp'"), 2);
  EXPECT_EQ(runCli(renderArguments + "--out-dir '" + dir + "'"), 2);
  EXPECT_EQ(runCli("render --b 0.5 --rr 2 --distance 0.7 --angle 60 --repeat 2 --width 900 --out '" + dir +
                   "plain.png'"),
            2);
  EXPECT_EQ(runCli(renderArguments + "--width 100 --out '" + dir + "fig.png'"), 2);
  for (const char* options :
       {"--figure-width 85", "--figure-width 85in", "--figure-width 5mm", "--figure-width 2000mm",
        "--figure-width nanmm", "--dpi 300 --width 900", "--dpi 5", "--dpi 100000"}) {
    EXPECT_EQ(runCli(renderArguments + options + " --out '" + dir + "fig.png'"), 2) << options;
  }
  EXPECT_EQ(runCli("render --b 0.5 --rr 2 --distance 0.7 --angle 60 --repeat 2 --legend --out '" + dir +
                   "plain.png'"),
            2);
  // A figure holds every dot: a bound, and only with --figure.
  EXPECT_EQ(runCli("render --b 0.5 --rr 2 --distance 0.7 --angle 60 --repeat 2001 --figure --out '" + dir +
                   "big.svg'"),
            2);
  EXPECT_EQ(
      runCli("portrait --b 0.5 --rr 2 --orbits 100 --bounces 100000 --figure --out '" + dir + "big.svg'"), 2);
  EXPECT_EQ(runCli("portrait --b 0.5 --rr 2 --orbits 2 --bounces 10 --legend --out '" + dir + "p.png'"), 2);
  EXPECT_EQ(runCli("portrait --b 0.5 --rr 2 --orbits 2 --bounces 10 --out '" + dir + "p.svg'"), 2);
}

}  // namespace
}  // namespace trapezola
