// The parameters a saved portrait carries: texts that read back to the same
// bits, records that do not read, and the stored-portrait file name.
#include "explorer/portrait_record.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>

namespace trapezola {
namespace {

PortraitRecord sample() {
  PortraitRecord r;
  r.b = "0.5";
  r.rr = "2";
  r.distance = "0.7";
  r.angle = "60";
  r.repeat = "20";
  // A zoomed window whose values have no short decimal form.
  r.window = PhaseWindowRecord{
      0.1, 8.017375310978, 0.3, 3.141592653589793, 778 / 7.917375310978, 666 / 2.841592653589793};
  r.pointSize = 3;
  r.colour = 0xFF0000;
  r.resume = ResumeStateRecord{0.12345678901234567, -1.0 / 3, 0.6, -0.8};
  r.version = "0.1.0";
  return r;
}

std::map<std::string, std::string> asMap(const PortraitRecord& r) {
  std::map<std::string, std::string> m;
  for (const auto& [key, value] : portraitTexts(r)) m[key] = value;
  return m;
}

TEST(PortraitRecord, TextsReadBackToTheSameBits) {
  const PortraitRecord want = sample();
  const std::optional<PortraitRecord> got = portraitRecordFromTexts(asMap(want));
  ASSERT_TRUE(got.has_value());
  EXPECT_EQ(got->b, "0.5");
  EXPECT_EQ(got->repeat, "20");
  EXPECT_EQ(std::memcmp(&got->window, &want.window, sizeof want.window), 0);
  EXPECT_EQ(std::memcmp(&got->resume, &want.resume, sizeof want.resume), 0);
  EXPECT_EQ(got->pointSize, 3);
  EXPECT_EQ(got->colour, 0xFF0000u);
  EXPECT_EQ(got->version, "0.1.0");
}

TEST(PortraitRecord, PicturesWithoutAWholeRecordHaveNone) {
  EXPECT_FALSE(portraitRecordFromTexts({}).has_value());
  EXPECT_FALSE(portraitRecordFromTexts({{"Software", "something else"}}).has_value());
  for (const char* key : {"Trapezola", "b", "R8/R", "sMax", "scalePhi", "colour", "resume"}) {
    std::map<std::string, std::string> texts = asMap(sample());
    texts.erase(key);
    EXPECT_FALSE(portraitRecordFromTexts(texts).has_value()) << "without " << key;
  }
  for (const auto& [key, value] : std::map<std::string, std::string>{{"sMin", "0.1x"},
                                                                     {"colour", "16777216"},
                                                                     {"point size", "-1"},
                                                                     {"resume", "1 2 3"},
                                                                     {"resume", "1 2 3 4 5"},
                                                                     {"phiMax", "1e999"}}) {
    std::map<std::string, std::string> texts = asMap(sample());
    texts[key] = value;
    EXPECT_FALSE(portraitRecordFromTexts(texts).has_value()) << key << " = " << value;
  }
}

TEST(PortraitRecord, StoredNameKeepsTheLoadersFormat) {
  PhaseWindowRecord w;
  w.sMax = 8.0173753;  // the b = 0.5, R8/R = 2 perimeter
  EXPECT_EQ(storedPortraitFileName("0.5", "2", 1, w),
            "B_0.5_rr_2_i1_kx_8.01738_kn_0.00000_px_3.14159_pn_0.00000.png");
  w.sMax = 13.25;
  w.sMin = -0.5;
  EXPECT_EQ(storedPortraitFileName("1", "3", 40, w),
            "B_1_rr_3_i40_kx_13.2500_kn_-0.5000_px_3.14159_pn_0.00000.png");
  w.sMax = 123456789;
  EXPECT_FALSE(storedPortraitFileName("1", "3", 40, w).has_value());
}

}  // namespace
}  // namespace trapezola
