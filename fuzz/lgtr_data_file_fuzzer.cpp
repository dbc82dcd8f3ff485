// The reader of the lg(Tr) data file that "fit linear" reads, against any file
// contents and any line count. The first four bytes are the line count (taken
// modulo a bound that keeps each run small, and possibly negative), the next
// twelve a block index and a value for the round trip, the rest the file.
// Properties:
//   - the reader returns exactly max(lineCount, 0) lines or throws its
//     DataFileError (AddressSanitizer watches for reads out of bounds);
//   - past the end of the file the last line read repeats;
//   - a line written by formatLgTrLine, put in front of the contents, reads back
//     as its block index and its value within the six printed decimals.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "core/analysis/lgtr_data_file.h"
#include "fuzz/fuzz_check.h"

namespace {

constexpr int lineCountBound = 1 << 10;

bool sameValue(double a, double b) {
  return std::memcmp(&a, &b, sizeof a) == 0 || (std::isnan(a) && std::isnan(b));
}

std::vector<trapezola::LgTrLine> read(const std::string& contents, int lineCount) {
  std::istringstream in(contents);
  try {
    return trapezola::readLgTrLines(in, lineCount);
  } catch (const trapezola::DataFileError&) {
    trapezola::fuzz::check(false, "a string holds no read error", contents);
  }
  return {};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using trapezola::fuzz::check;
  trapezola::fuzz::InputReader input(data, size);
  const int lineCount =
      static_cast<int>(input.take<std::uint32_t>() % (2 * lineCountBound)) - lineCountBound / 4;
  const int block = input.take<int>();
  const double value = input.take<double>();
  const std::string contents(input.rest());

  const std::vector<trapezola::LgTrLine> lines = read(contents, lineCount);
  check(lines.size() == static_cast<std::size_t>(std::max(lineCount, 0)),
        "the reader returns lineCount lines", contents);
  // Without a line end the file has one line at most, and every further line
  // asked for repeats it.
  if (contents.find('\n') == std::string::npos) {
    for (const trapezola::LgTrLine& l : lines) {
      check(l.block == lines[0].block && sameValue(l.value, lines[0].value),
            "past the end of the file the last line repeats", contents);
    }
  }

  const std::string line = trapezola::formatLgTrLine(block, value);
  // "%4i   %20f \n": 29 characters, more for wide numbers.
  check(line.size() >= 29 && line.find('\n') == line.size() - 1,
        "a written line is one line of at least 29 characters", line);
  const std::vector<trapezola::LgTrLine> back = read(line + contents, std::max(lineCount, 1));
  check(back.front().block == block, "a written block index reads back", line);
  if (std::isfinite(value)) {
    // Six decimals: the printed value is within half a unit of the sixth, and
    // reading it back rounds once more to double.
    const double bound = 0.5e-6 + std::fabs(value) * std::numeric_limits<double>::epsilon();
    check(std::fabs(back.front().value - value) <= bound, "a written value reads back within its decimals",
          line);
  } else {
    check(sameValue(back.front().value, value) || (std::isnan(value) && std::isnan(back.front().value)),
          "a non-finite value reads back as itself", line);
  }
  return 0;
}
