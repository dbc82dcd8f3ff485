// The file-name reader of the "load" button against any path: any length, any
// bytes, markers missing, repeated or out of order (stored_portrait_name.dict
// holds the markers). Properties:
//   - every text is a piece of the path, the four window texts at most 7
//     characters long;
//   - the conversion restores all six values, each the one StrToFloat reads
//     from its text, or raises EConvertError with the message of the first text
//     that does not convert; nothing else escapes.
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "explorer/stored_portrait_name.h"
#include "fuzz/fuzz_check.h"
#include "raster/conversions.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using trapezola::fuzz::check;
  const std::string_view path(reinterpret_cast<const char*>(data), size);
  const trapezola::StoredPortraitTexts texts = trapezola::storedPortraitTexts(path);

  const std::string* const fields[] = {&texts.b,    &texts.rr,     &texts.sMax,
                                       &texts.sMin, &texts.phiMax, &texts.phiMin};
  for (int i = 0; i < 6; ++i) {
    check(path.find(*fields[i]) != std::string_view::npos, "each text is a piece of the path", *fields[i]);
    if (i >= 2) check(fields[i]->size() <= 7, "a window text is at most 7 characters", *fields[i]);
  }

  // Field by field, to know what the whole conversion must do.
  double expected[6] = {};
  std::string firstError;
  for (int i = 0; i < 6 && firstError.empty(); ++i) {
    try {
      expected[i] = trapezola::toolkit::StrToFloat(*fields[i]);
    } catch (const trapezola::toolkit::EConvertError& e) {
      firstError = e.what();
    }
  }

  try {
    const trapezola::StoredPortraitValues v = trapezola::storedPortraitValues(texts);
    check(firstError.empty(), "a name with a text that does not convert raises the conversion error", path);
    const double got[6] = {v.b, v.rr, v.sMax, v.sMin, v.phiMax, v.phiMin};
    for (int i = 0; i < 6; ++i) {
      check(std::memcmp(&got[i], &expected[i], sizeof(double)) == 0, "every field is restored as it reads",
            *fields[i]);
    }
  } catch (const trapezola::toolkit::EConvertError& e) {
    check(!firstError.empty(), "a name whose six texts convert is restored", path);
    check(firstError == e.what(), "the error names the first text that does not convert", e.what());
  }
  return 0;
}
