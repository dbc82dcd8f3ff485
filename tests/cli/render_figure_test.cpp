// trapezola-cli render --figure: the three formats, vector dots in SVG and PDF,
// the PNG's chosen width, and the refusals.
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
  EXPECT_NE(svg.find("<svg"), std::string::npos);
  EXPECT_NE(svg.find("b = 0.5, R8/R = 2"), std::string::npos);
  // 2000 bounces, each a dot of runs of pixels: well over a thousand rectangles.
  EXPECT_GT(count(svg, "<rect"), 1000u);

  ASSERT_EQ(runCli(renderArguments + "--out '" + dir + "fig.pdf'"), 0);
  const std::string pdf = contents(dir + "fig.pdf");
  EXPECT_EQ(pdf.substr(0, 5), "%PDF-");
  std::remove((dir + "fig.png").c_str());
  std::remove((dir + "fig.svg").c_str());
  std::remove((dir + "fig.pdf").c_str());
}

TEST(RenderFigure, RefusesOtherFormatsAndAStrayWidth) {
  const std::string dir = ::testing::TempDir();
  EXPECT_EQ(runCli(renderArguments + "--out '" + dir + "fig.bmp'"), 2);
  EXPECT_EQ(runCli(renderArguments + "--out-dir '" + dir + "'"), 2);
  EXPECT_EQ(runCli("render --b 0.5 --rr 2 --distance 0.7 --angle 60 --repeat 2 --width 900 --out '" + dir +
                   "plain.png'"),
            2);
  EXPECT_EQ(runCli(renderArguments + "--width 100 --out '" + dir + "fig.png'"), 2);
}

}  // namespace
}  // namespace trapezola
