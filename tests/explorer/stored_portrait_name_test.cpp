// Reading the parameters out of a stored portrait's file name.
#include "explorer/stored_portrait_name.h"

#include <gtest/gtest.h>

#include "raster/conversions.h"

namespace trapezola {
namespace {

TEST(StoredPortraitName, ExampleNameGivesEveryValue) {
  const auto t =
      storedPortraitTexts("/home/u/B_0.5_rr_2.5_i40_kx_6.11234_kn_0.00000_px_3.14159_pn_0.00000.jpg");
  EXPECT_EQ(t.b, "0.5");
  EXPECT_EQ(t.rr, "2.5");
  EXPECT_EQ(t.sMax, "6.11234");
  EXPECT_EQ(t.sMin, "0.00000");
  EXPECT_EQ(t.phiMax, "3.14159");
  EXPECT_EQ(t.phiMin, "0.00000");
}

TEST(StoredPortraitName, AnUnderscoreIInADirectoryNameEmptiesTheRatio) {
  // The first "_i" lies in "my_images", before "rr_": a negative length.
  const auto t =
      storedPortraitTexts("/my_images/B_0.5_rr_2.5_i40_kx_6.11234_kn_0.00000_px_3.14159_pn_0.00000.jpg");
  EXPECT_EQ(t.b, "0.5");
  EXPECT_EQ(t.rr, "");
}

TEST(StoredPortraitName, MissingMarkersTakeTextFromTheStart) {
  // No "kx_": the 7 characters from position 3 of the path.
  const auto t = storedPortraitTexts("/tmp/B_1_rr_2_i5.png");
  EXPECT_EQ(t.b, "1");
  EXPECT_EQ(t.rr, "2");
  EXPECT_EQ(t.sMax, "mp/B_1_");
  EXPECT_EQ(storedPortraitTexts("x.png").b, "");  // no "B_", no "_rr_": length -2
}

TEST(StoredPortraitName, CopyClampsLikeTheClassicRuntime) {
  const struct {
    int start, length;
    const char* want;
  } cases[] = {{1, 3, "abc"}, {0, 2, "ab"}, {-5, 1, "a"}, {4, 99, "def"},
               {6, 1, "f"},   {7, 1, ""},   {2, 0, ""},   {2, -1, ""}};
  for (const auto& c : cases)
    EXPECT_EQ(Copy("abcdef", c.start, c.length), c.want) << c.start << ", " << c.length;
  EXPECT_EQ(Pos("cd", "abcdef"), 3);
  EXPECT_EQ(Pos("x", "abcdef"), 0);
}

TEST(StoredPortraitName, ValuesConvertAllOrRaiseTheFirstFailure) {
  const auto v = storedPortraitValues(
      storedPortraitTexts("B_0.5_rr_2.5_i40_kx_6.11234_kn_-1.0000_px_3.14159_pn_1.5E-01.jpg"));
  EXPECT_EQ(v.b, 0.5);
  EXPECT_EQ(v.rr, 2.5);
  EXPECT_EQ(v.sMax, 6.11234);
  EXPECT_EQ(v.sMin, -1.0);
  EXPECT_EQ(v.phiMax, 3.14159);
  EXPECT_EQ(v.phiMin, 0.15);

  // Both the ratio (empty) and sMin fail: the error names the ratio, read first.
  const auto t =
      storedPortraitTexts("/my_images/B_0.5_rr_2.5_i40_kx_6.11234_kn_x.00000_px_3.14159_pn_0.00000.jpg");
  try {
    storedPortraitValues(t);
    FAIL() << "converted a name without a ratio";
  } catch (const toolkit::EConvertError& e) {
    EXPECT_STREQ(e.what(), "'' is not a valid floating point value");
  }
}

}  // namespace
}  // namespace trapezola
