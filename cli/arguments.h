// Command-line parsing for trapezola-cli: "--name value" (or "--name=value")
// options and bare "--flag" switches after a subcommand. An option that is not
// repeatable may be given once. Every refusal is a UsageError whose
// message is one line naming the option and the offending text.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "files/quoted.h"

namespace trapezola::cli {

class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct OptionRule {
  std::string name;  // without the leading "--"
  bool takesValue = true;
  // May be given more than once; texts() returns every value in order.
  bool repeatable = false;
};

class Arguments {
 public:
  // Parses argv[first..argc) against the subcommand's options; "--help" is
  // always accepted. Throws UsageError for unknown options, missing values, a
  // value given to a switch and an option given twice.
  Arguments(const std::string& command, int argc, const char* const* argv, int first,
            const std::vector<OptionRule>& options);

  bool helpRequested() const { return flags_.count("help") != 0; }
  bool has(const std::string& name) const { return values_.count(name) != 0 || flags_.count(name) != 0; }

  // The option's text; throws UsageError when it is missing.
  const std::string& text(const std::string& name) const;
  // Every value of a repeatable option, in the order given; empty when absent.
  std::vector<std::string> texts(const std::string& name) const;

  // A finite number; throws UsageError when missing or not a number.
  double real(const std::string& name) const;
  // As real(), and inside the range that `accept` checks; rangeText names it.
  template <typename Accept>
  double real(const std::string& name, Accept accept, const char* rangeText) const {
    const double v = real(name);
    if (!accept(v)) refuse(name, rangeText);
    return v;
  }
  // A whole number in [minimum, INT64_MAX]; throws UsageError otherwise, "is
  // too large (the limit is 9223372036854775807)" for one beyond the type.
  std::int64_t integer(const std::string& name, std::int64_t minimum) const;
  // A colour as its help writes it, 0x00BBGGRR in hex ("0x0000FF": red), or
  // the same number in decimal; 0 to 0xFFFFFF.
  std::int64_t colour(const std::string& name) const;

  [[noreturn]] void refuse(const std::string& name, const std::string& why) const;

 private:
  std::string command_;
  std::map<std::string, std::string> values_;
  std::map<std::string, std::vector<std::string>> repeated_;
  std::set<std::string> flags_;
};

// quoted(text), from files/quoted.h, puts an argument in a refusal: in single
// quotes, control characters escaped, so that the refusal stays one line.
using trapezola::quoted;

// Parses a whole text as a finite double ("." separator, no blanks around it).
bool parseReal(const std::string& text, double& value);

}  // namespace trapezola::cli
