// The history reader of a saved portrait (its PNG's "history" text) against
// any text: forged steps, numbers out of range, fields missing or doubled,
// lines of any length. Properties:
//   - it returns a history or names a fault, nothing else escapes;
//   - a history it accepts is written back to a text that reads to the same
//     history, and that text is written the same way again.
#include <cstdint>
#include <optional>
#include <string>

#include "explorer/portrait_history.h"
#include "fuzz/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using trapezola::fuzz::check;
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::string fault;
  const std::optional<trapezola::PortraitHistory> history = trapezola::historyFromText(text, fault);
  if (!history) {
    check(!fault.empty(), "a refused history names its fault", text);
    return 0;
  }
  const std::string written = trapezola::historyText(*history);
  std::string again;
  const std::optional<trapezola::PortraitHistory> reread = trapezola::historyFromText(written, again);
  check(reread.has_value(), "a written history reads back", again);
  check(trapezola::historyText(*reread) == written, "a history is written the same way twice", written);
  return 0;
}
