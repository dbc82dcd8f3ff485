#include "files/quoted.h"

#include <cstdio>

namespace trapezola {

std::string quoted(std::string_view text) {
  std::string q = "'";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\n') {
      q += "\\n";
    } else if (c == '\t') {
      q += "\\t";
    } else if (c == '\r') {
      q += "\\r";
    } else if (byte < 0x20 || byte == 0x7F) {
      char escape[5];
      std::snprintf(escape, sizeof escape, "\\x%02X", byte);
      q += escape;
    } else {
      q += c;
    }
  }
  return q + "'";
}

}  // namespace trapezola
