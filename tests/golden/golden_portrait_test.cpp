// Golden bits of one rendered portrait: the pixels that `trapezola-cli render`
// draws for a fresh "go" run (the same drawing code as the window's), read back
// from an uncompressed BMP file. How the constant was recorded is said in
// golden_cases.h.
#include <gtest/gtest.h>

#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/golden/golden_cases.h"

namespace trapezola {
namespace {

// b 0.5, R8/R 2, start 0.7 at 60 degrees, 20,000 bounces, small black dots, with
// the grid and the corner curves.
constexpr const char* renderArguments = "render --b 0.5 --rr 2 --distance 0.7 --angle 60 --repeat 20";
constexpr std::uint64_t recordedPortraitDigest = 0xe42f55f015358de3;

std::uint32_t little(const std::vector<unsigned char>& bytes, std::size_t at, int count) {
  std::uint32_t v = 0;
  for (int i = count - 1; i >= 0; --i) v = (v << 8) | bytes.at(at + static_cast<std::size_t>(i));
  return v;
}

// Each pixel as 0x00RRGGBB, rows top to bottom, whatever row order and pixel
// size the file uses.
std::uint64_t bmpPixelDigest(const std::vector<unsigned char>& bytes, int& width, int& height) {
  const std::size_t offset = little(bytes, 10, 4);
  width = static_cast<int>(little(bytes, 18, 4));
  const auto rawHeight = static_cast<std::int32_t>(little(bytes, 22, 4));
  const int bitsPerPixel = static_cast<int>(little(bytes, 28, 2));
  const bool bottomUp = rawHeight > 0;
  height = bottomUp ? rawHeight : -rawHeight;
  const std::size_t pixelBytes = static_cast<std::size_t>(bitsPerPixel / 8);
  const std::size_t rowBytes = (static_cast<std::size_t>(width) * pixelBytes + 3) / 4 * 4;
  golden::Digest d;
  for (int row = 0; row < height; ++row) {
    const std::size_t fileRow = static_cast<std::size_t>(bottomUp ? height - 1 - row : row);
    for (int col = 0; col < width; ++col) {
      const std::size_t at = offset + fileRow * rowBytes + static_cast<std::size_t>(col) * pixelBytes;
      const std::uint32_t rgb = little(bytes, at, 3);
      d.add(static_cast<std::int64_t>(rgb));
    }
  }
  return d.value();
}

TEST(GoldenPortrait, RenderedPixels) {
  const std::string path = ::testing::TempDir() + "golden_portrait.bmp";
  std::remove(path.c_str());
  const std::string command =
      std::string("'") + TRAPEZOLA_CLI + "' " + renderArguments + " --out '" + path + "'";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
  std::ifstream file(path, std::ios::binary);
  const std::vector<unsigned char> bytes{std::istreambuf_iterator<char>(file), {}};
  ASSERT_GT(bytes.size(), 54u);
  ASSERT_EQ(bytes[0], 'B');
  ASSERT_EQ(bytes[1], 'M');
  int width = 0, height = 0;
  const std::uint64_t got = bmpPixelDigest(bytes, width, height);
  EXPECT_EQ(width, 794);
  EXPECT_EQ(height, 681);
  char text[24];
  std::snprintf(text, sizeof text, "0x%016" PRIx64, got);
  EXPECT_EQ(got, recordedPortraitDigest) << "digest " << text;
  std::remove(path.c_str());
}

}  // namespace
}  // namespace trapezola
