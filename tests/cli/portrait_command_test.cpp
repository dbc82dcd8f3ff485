// trapezola-cli portrait as a user runs it: the same file for every thread
// count, dots exactly at the bounces that trapezola-cli orbit prints, the
// window's grid, stopped orbits, and files written whole or not at all.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QColor>
#include <QImage>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "core/geometry/table_geometry.h"

namespace trapezola {
namespace {

namespace fs = std::filesystem;

struct CliRun {
  int status = -1;
  std::string out, err;
};

std::string bytesOf(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

int lines(const std::string& text) {
  return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

class PortraitCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::path(::testing::TempDir()) /
           ("portrait_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  // Runs the tool with the arguments (a shell word list) and collects both
  // streams; standard error goes through a file beside the test's own.
  CliRun cli(const std::string& arguments) const {
    const fs::path errPath = dir_.string() + ".stderr";
    const std::string command =
        std::string("'") + TRAPEZOLA_CLI + "' " + arguments + " 2>'" + errPath.string() + "'";
    CliRun r;
    std::FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) return r;
    char chunk[1 << 16];
    for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;) r.out.append(chunk, n);
    const int raw = ::pclose(pipe);
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    std::ifstream err(errPath);
    r.err.assign(std::istreambuf_iterator<char>(err), {});
    fs::remove(errPath);
    return r;
  }

  fs::path dir_;
};

TEST_F(PortraitCommand, SameFileForEveryThreadCount) {
  std::string first;
  for (const int threads : {1, 2, 3}) {
    const fs::path file = dir_ / ("t" + std::to_string(threads) + ".png");
    const CliRun r = cli("portrait --b 0.5 --rr 2 --orbits 7 --seed 3 --bounces 20000 --grid --threads " +
                         std::to_string(threads) + " --out '" + file.string() + "'");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "") << "nothing on standard error when it is no terminal";
    EXPECT_EQ(r.out, "");
    const std::string bytes = bytesOf(file);
    ASSERT_FALSE(bytes.empty());
    if (first.empty()) {
      first = bytes;
    } else {
      EXPECT_TRUE(bytes == first) << threads << " threads wrote another file";
    }
  }
  const QImage image(QString::fromStdString((dir_ / "t1.png").string()));
  ASSERT_EQ(image.width(), 794);
  ASSERT_EQ(image.height(), 681);
}

// Every bounce 1..M that orbit prints inside the window covers its dot's 2 x 2
// core, and no dot pixel lies outside the boxes of those bounces.
TEST_F(PortraitCommand, DotsAreWhereOrbitPutsTheBounces) {
  constexpr int bounceCount = 5000;
  const CliRun orbit =
      cli("orbit --b 0.2 --rr 5 --distance 2.5 --angle 70 --bounces " + std::to_string(bounceCount));
  ASSERT_EQ(orbit.status, 0);
  const fs::path file = dir_ / "one.bmp";
  const CliRun r = cli("portrait --b 0.2 --rr 5 --start 2.5,70 --bounces " + std::to_string(bounceCount) +
                       " --threads 2 --out '" + file.string() + "'");
  ASSERT_EQ(r.status, 0) << r.err;
  const QImage image(QString::fromStdString(file.string()));
  ASSERT_EQ(image.width(), 794);

  // The window of a fresh go: the whole perimeter across, 0 to pi up.
  const double s4 = buildTable(0.2, 5).s4;
  const double scaleS = 778 / s4, scalePhi = 666 / pi;
  std::vector<char> allowed(794 * 681, 0);
  std::istringstream rows(orbit.out);
  std::string row;
  std::getline(rows, row);
  int drawn = 0;
  while (std::getline(rows, row)) {
    long long n = 0;
    double s = 0, phi = 0;
    ASSERT_EQ(std::sscanf(row.c_str(), "%lld,%lf,%lf", &n, &s, &phi), 3) << row;
    if (n == 0 || !(0 < s && s < s4 && 0 < phi && phi < pi)) continue;
    const double xr = s * scaleS + 6, yr = 678 - phi * scalePhi;
    const int x = static_cast<int>(xr), y = static_cast<int>(yr);
    const int x2 = static_cast<int>(xr + 2), y2 = static_cast<int>(yr - 2);
    for (int py = y - 2; py < y; ++py) {
      for (int px = x; px < x + 2; ++px) {
        ASSERT_EQ(image.pixel(px, py) & 0xFFFFFF, 0u) << "bounce " << n << " at (" << px << ", " << py << ")";
      }
    }
    for (int py = y2; py < y; ++py) {
      for (int px = x; px < x2; ++px) allowed[static_cast<std::size_t>(py * 794 + px)] = 1;
    }
    ++drawn;
  }
  EXPECT_EQ(drawn, bounceCount);
  for (int py = 0; py < 681; ++py) {
    for (int px = 0; px < 794; ++px) {
      const QRgb c = image.pixel(px, py) & 0xFFFFFF;
      if (c == 0xFFFFFF) continue;
      ASSERT_EQ(c, 0u) << "orbit 0 is black";
      ASSERT_TRUE(allowed[static_cast<std::size_t>(py * 794 + px)])
          << "stray dot at (" << px << ", " << py << ")";
    }
  }
}

// One orbit with --grid is the window's go run: the same file as render's.
TEST_F(PortraitCommand, OneOrbitWithGridIsTheWindowsPortrait) {
  const fs::path mine = dir_ / "portrait.bmp", window = dir_ / "render.bmp";
  ASSERT_EQ(cli("portrait --b 0.5 --rr 2 --start 0.7,60 --bounces 20000 --grid --out '" + mine.string() + "'")
                .status,
            0);
  ASSERT_EQ(cli("render --b 0.5 --rr 2 --distance 0.7 --angle 60 --repeat 20 --out '" + window.string() + "'")
                .status,
            0);
  EXPECT_TRUE(bytesOf(mine) == bytesOf(window));
}

// The same start twice: every dot is the second orbit's colour, Kelly's yellow.
TEST_F(PortraitCommand, HighestNumberedOrbitShows) {
  const fs::path file = dir_ / "twice.bmp";
  const CliRun r = cli("portrait --b 0.5 --rr 2 --start 0.7,60 --start 0.7,60 --bounces 3000 --out '" +
                       file.string() + "'");
  ASSERT_EQ(r.status, 0) << r.err;
  const QImage image(QString::fromStdString(file.string()));
  int dots = 0;
  for (int py = 0; py < 681; ++py) {
    for (int px = 0; px < 794; ++px) {
      const QRgb c = image.pixel(px, py) & 0xFFFFFF;
      if (c == 0xFFFFFF) continue;
      ASSERT_EQ(c, 0xF3C300u);
      ++dots;
    }
  }
  EXPECT_GT(dots, 1000);
}

TEST_F(PortraitCommand, StoppedOrbitIsReportedInOneLine) {
  const fs::path file = dir_ / "graze.png";
  const CliRun r =
      // 1e-300 degrees is inside (0, 180) but its cosine rounds to 1: the start
      // runs along the tangent and its first bounce finds no arc.
      cli("portrait --b 0.5 --rr 2 --start 0.7,60 --start 0,1e-300 --bounces 100 --out '" + file.string() +
          "'");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(lines(r.err), 1);
  EXPECT_NE(r.err.find("1 of 2 orbits stopped early: orbit 1 at bounce 2 (no boundary hit)"),
            std::string::npos)
      << r.err;
  EXPECT_TRUE(fs::exists(file));
}

TEST_F(PortraitCommand, NothingDrawnGivesNoFile) {
  const fs::path file = dir_ / "none.png";
  const CliRun r = cli("portrait --b 0.5 --rr 2 --start 0.7,1e-300 --start 0.9,1e-300 --bounces 100 --out '" +
                       file.string() + "'");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(lines(r.err), 1);
  EXPECT_NE(r.err.find("no file written"), std::string::npos) << r.err;
  EXPECT_TRUE(fs::is_empty(dir_)) << "neither the file nor a temporary one";
}

TEST_F(PortraitCommand, FailedWritesLeaveNoFile) {
  const std::string run = "portrait --b 0.5 --rr 2 --orbits 2 --bounces 100 --out ";
  // A full device: every write fails.
  const fs::path full = dir_ / "full.png";
  fs::create_symlink("/dev/full", full);
  CliRun r = cli(run + "'" + full.string() + "'");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(lines(r.err), 1);
  EXPECT_NE(r.err.find("cannot write"), std::string::npos) << r.err;
  struct stat st {};
  ASSERT_EQ(::stat("/dev/full", &st), 0);
  EXPECT_TRUE(S_ISCHR(st.st_mode)) << "the device is written to, never replaced";

  // A folder that is not there, and a path through a file.
  std::ofstream(dir_ / "plain") << "x";
  for (const fs::path& bad : {dir_ / "missing" / "p.png", dir_ / "plain" / "p.png"}) {
    r = cli(run + "'" + bad.string() + "'");
    EXPECT_EQ(r.status, 1) << bad;
    EXPECT_EQ(lines(r.err), 1) << r.err;
    EXPECT_FALSE(fs::exists(bad));
  }

  // A folder in the way.
  fs::create_directory(dir_ / "taken.png");
  r = cli(run + "'" + (dir_ / "taken.png").string() + "'");
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(fs::is_directory(dir_ / "taken.png"));

  // Nothing else was left in the folder: no temporary file.
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir_)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"full.png", "plain", "taken.png"}));
}

// render writes through the same whole-file writer. It used to let the picture
// library write the file itself, which on a full disk left a partial file and
// printed the library's own "libpng error" line besides its refusal.
TEST_F(PortraitCommand, RenderWritesWholeOrNotAtAll) {
  const fs::path full = dir_ / "full.png";
  fs::create_symlink("/dev/full", full);
  const CliRun r =
      cli("render --b 0.5 --rr 2 --distance 0.7 --angle 60 --repeat 1 --out '" + full.string() + "'");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(lines(r.err), 1) << r.err;
  EXPECT_NE(r.err.find("No space left on device"), std::string::npos) << r.err;
}

// A successful write replaces an older file as a whole.
TEST_F(PortraitCommand, ReplacesAnOlderFile) {
  const fs::path file = dir_ / "old.png";
  std::ofstream(file) << "not a picture";
  ASSERT_EQ(cli("portrait --b 0.5 --rr 2 --orbits 2 --bounces 100 --out '" + file.string() + "'").status, 0);
  EXPECT_FALSE(QImage(QString::fromStdString(file.string())).isNull());
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
}

}  // namespace
}  // namespace trapezola
