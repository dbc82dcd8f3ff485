// The inputs and recorded digests of the golden-bits tests, and the digest they
// are compared with. Every path that computes orbits (the window's explorer
// value, the value functions, any thread) must reproduce these digests exactly: they pin the
// last bit of every bounce.
//
// How the constants were recorded: from the code at commit 92c3431 (Release
// build, -O2 -ffp-contract=off, GCC 12 and glibc 2.36 on x86-64), by running
// golden_bits_tests and golden_portrait_tests with every digest set to 0 and
// copying the digests that the failures printed. They are never edited to make
// a test pass: a changed digest means a changed bit.
#pragma once

#include <array>
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "core/geometry/ball_state.h"

namespace trapezola::golden {

// 64-bit FNV-1a over the raw bytes of each value, least significant byte first,
// so that the digest does not depend on the machine's byte order.
class Digest {
 public:
  void add(double v) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &v, sizeof bits);
    addBytes(bits, 8);
  }
  void add(std::int64_t v) { addBytes(static_cast<std::uint64_t>(v), 8); }
  void add(int v) { add(static_cast<std::int64_t>(v)); }
  // The launched ball: position and direction.
  void addLaunch(const Ball& ball) {
    add(ball.x);
    add(ball.y);
    add(ball.dx);
    add(ball.dy);
  }
  // The ball after a bounce: its phase point, arc and position.
  void addBounce(const Ball& ball) {
    add(ball.s);
    add(ball.phi);
    add(ball.arc);
    add(ball.x);
    add(ball.y);
  }
  std::uint64_t value() const { return hash_; }

 private:
  void addBytes(std::uint64_t bits, int count) {
    for (int i = 0; i < count; ++i) {
      hash_ ^= (bits >> (8 * i)) & 0xFF;
      hash_ *= 0x100000001b3ULL;
    }
  }
  std::uint64_t hash_ = 0xcbf29ce484222325ULL;
};

// A digest as the failure messages print it.
inline std::string hex(std::uint64_t v) {
  char text[24];
  std::snprintf(text, sizeof text, "0x%016" PRIx64, v);
  return text;
}

inline constexpr int goldenBounces = 100000;

// One orbit as a fresh "go" run starts it. The digest covers the launched
// position and direction (x, y, dx, dy), then (s, phi, arc, x, y) after every
// one of the goldenBounces bounces.
struct OrbitCase {
  const char* name;
  double b, rr;
  double distance;      // start perimeter coordinate; see startAtCorner2
  double angleDegrees;  // against the counter-clockwise tangent
  bool startAtCorner2;  // start at the table's own s1 (corner 2), distance ignored
  std::uint64_t digest;
};

inline constexpr std::array<OrbitCase, 10> orbitCases{{
    // The worked tables.
    {"HalfTable", 0.5, 2, 0.7, 60, false, 0xd45ca65c6b46c65d},
    {"SquareFromCorner1", 1, 2, 0, 45, false, 0x1b0290626b8f43ae},
    {"Circle", 1, 1, 0.7, 60, false, 0xbe5fb51378b318af},
    // Starts on a corner, grazing the arc they leave.
    {"GrazeFromCorner1", 0.5, 2, 0, 0.01, false, 0x8c3696d4cb3bfc96},
    {"GrazeFromCorner2", 0.5, 2, 0, 179.9, true, 0x839b0f343e782151},
    // Near the ends of b and of R8/R.
    {"NearTriangle", 0.01, 2, 1.0, 50, false, 0x43c3674cd6cb9b53},
    {"NearSquare", 0.999999, 2, 0.7, 60, false, 0x310121257266a322},
    {"NearCircle", 0.5, 1.000001, 0.7, 60, false, 0x02292479bc32466b},
    {"FlatSides", 0.5, 1000, 0.7, 60, false, 0xa65ac86611dd28ac},
    // The ends of the bottom arc rise above its centre.
    {"RaisedBottomEnds", 0.2, 5, 2.5, 70, false, 0x606d41652995a5ef},
}};

// One right-click analysis with its lg(Tr) series (the Lyapunov window's
// defaults: 100 blocks of 500 bounces) at the sensitivity 0.05. typedPeriod 0
// means the automatic search. The digest covers the period, the three return
// counts, trace, m11, m22, every series value and the final rescale count.
struct AnalysisCase {
  const char* name;
  double b, rr;
  double distance;  // negative: half the top arc (the middle of arc 1)
  double angleDegrees;
  int typedPeriod;
  std::uint64_t digest;
};

inline constexpr std::array<AnalysisCase, 3> analysisCases{{
    {"BouncingOnTheAxis", 0.5, 2, -1, 90, 0, 0xe551df1e55faaac5},
    {"CircleTriangle", 1, 1, 0.7, 60, 0, 0xd133a3df67f89fba},
    {"HalfTableTypedPeriod", 0.5, 2, 0.7, 60, 5, 0xd15898c7f16a2380},
}};

inline constexpr int lgTrBlockSize = 500;
inline constexpr int lgTrBlockCount = 100;
inline constexpr double analysisEpsilon = 0.05;

}  // namespace trapezola::golden
