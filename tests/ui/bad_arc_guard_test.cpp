// The window's one fatal guard. The engine reports a hit that names no arc as a
// status and never ends the process; the window ends it, with the word it has
// always written.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>

#include "ui/main_window/bad_arc_index.h"

namespace trapezola {
namespace {

using BadArcGuardDeathTest = ::testing::Test;

TEST_F(BadArcGuardDeathTest, WritesProblemToStandardOutputAndExitsWithOne) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  // The message goes to standard output; redirect it into standard error so the
  // death test can see it.
  EXPECT_EXIT(
      {
        std::fflush(stdout);
        dup2(2, 1);
        endOnBadArcIndex();
      },
      ::testing::ExitedWithCode(1), "^problem!$");
}

}  // namespace
}  // namespace trapezola
